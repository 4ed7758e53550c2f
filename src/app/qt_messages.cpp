#include "app/qt_messages.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QThread>

#include "app/app_texts.h"

namespace veltrano {

QtMessages::QtMessages(QWidget* parent) : parent_(parent) {}

void QtMessages::Show(const std::string& kind, const std::string& text,
                      const std::string& caption) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        entries_.push_back({kind, caption, text});
    }
    if (!interactive_)
        return;
    auto box = [this, kind, text, caption] {
        const QString t = QString::fromStdString(text), c = QString::fromStdString(caption);
        if (kind == "warning")
            QMessageBox::warning(parent_, c, t);
        else if (kind == "information")
            QMessageBox::information(parent_, c, t);
        else
            QMessageBox(QMessageBox::NoIcon, c, t, QMessageBox::Ok, parent_).exec();
    };
    if (QThread::currentThread() == qApp->thread())
        box();
    else
        QMetaObject::invokeMethod(qApp, box, Qt::BlockingQueuedConnection);
}

void QtMessages::Warning(const std::string& text, const std::string& caption) {
    Show("warning", text, caption);
}

void QtMessages::Information(const std::string& text, const std::string& caption) {
    Show("information", text, caption);
}

void QtMessages::Plain(const std::string& text) {
    Show("plain", text, "");
}

bool QtMessages::Confirm(const std::string& text, const std::string& caption) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        entries_.push_back({"confirm", caption, text});
    }
    if (!interactive_)
        return true;
    bool yes = false;
    auto ask = [&] {
        yes = QMessageBox::question(parent_, QString::fromStdString(caption),
                                    QString::fromStdString(text)) == QMessageBox::Yes;
    };
    if (QThread::currentThread() == qApp->thread())
        ask();
    else
        QMetaObject::invokeMethod(qApp, ask, Qt::BlockingQueuedConnection);
    return yes;
}

QtMessages::Answer QtMessages::AskYesNoCancel(const std::string& text, const std::string& caption) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        entries_.push_back({"question", caption, text});
    }
    if (!interactive_)
        return scripted_;
    QMessageBox box(QMessageBox::Question, QString::fromStdString(caption),
                    QString::fromStdString(text),
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, parent_);
    box.setObjectName("QuestionBox");
    box.button(QMessageBox::Yes)->setText(app_texts::kYes);
    box.button(QMessageBox::No)->setText(app_texts::kNo);
    box.button(QMessageBox::Cancel)->setText(app_texts::kCancel);
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::Cancel);
    switch (box.exec()) {
        case QMessageBox::Yes:
            return Answer::Yes;
        case QMessageBox::No:
            return Answer::No;
        default:
            return Answer::Cancel;
    }
}

std::vector<RecordedMessages::Entry> QtMessages::Entries() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return entries_;
}

void QtMessages::ClearEntries() {
    std::lock_guard<std::mutex> lock(mutex_);
    entries_.clear();
}

}  // namespace veltrano
