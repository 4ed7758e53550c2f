#include "app/qt_messages.h"

#include <QApplication>
#include <QMessageBox>
#include <QThread>

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

std::vector<RecordedMessages::Entry> QtMessages::Entries() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return entries_;
}

void QtMessages::ClearEntries() {
    std::lock_guard<std::mutex> lock(mutex_);
    entries_.clear();
}

}  // namespace veltrano
