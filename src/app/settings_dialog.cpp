#include "app/settings_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

#include "app/app_texts.h"
#include "app/port_access.h"
#include "app/port_box.h"
#include "app/settings/settings_path.h"
#include "common/messages.h"
#include "link/obdii.h"

namespace veltrano {
namespace t = app_texts;

TFormSettings::TFormSettings(AppSettings& values, std::string path, QWidget* parent,
                             Messages* messages, QStringList extraPorts)
    : QDialog(parent), values_(values), path_(std::move(path)), messages_(messages) {
    setWindowTitle(t::kSettingsCaption);
    setObjectName("FormSettings");
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);
    auto* col = new QVBoxLayout(this);
    pages = new QTabWidget(this);
    auto* connection = new QWidget(pages);
    auto* learning = new QWidget(pages);
    pages->addTab(connection, t::kPageConnection);
    pages->addTab(learning, t::kPageLearning);
    BuildConnectionPage(connection, extraPorts);
    BuildLearningPage(learning);
    col->addWidget(pages);
    auto* buttons = new QHBoxLayout();
    btnOK = new QPushButton(t::kOk, this);
    btnCancel = new QPushButton(t::kCancel, this);
    btnApply = new QPushButton(t::kApply, this);
    buttons->addStretch(1);
    for (QPushButton* b : {btnOK, btnCancel, btnApply})
        buttons->addWidget(b);
    col->addLayout(buttons);
    connect(btnOK, &QPushButton::clicked, this, &TFormSettings::btnOKClick);
    connect(btnCancel, &QPushButton::clicked, this, &TFormSettings::btnCancelClick);
    connect(btnApply, &QPushButton::clicked, this, &TFormSettings::btnApplyClick);
    connect(btnCheckConnection, &QPushButton::clicked, this,
            &TFormSettings::btnCheckConnectionClick);

    // FormCreate.
    loadsetting();
    btnApply->setEnabled(true);
    cbPortList->SetPath(QString::fromStdString(values_.ecuPort));
    CbPortLC->SetPath(QString::fromStdString(values_.lcPort));
    btnCheckConnection->setEnabled(!LinkRunning.load());
    pages->setCurrentIndex(1);                      // "Обучение" first
    col->setSizeConstraint(QLayout::SetFixedSize);  // a dialog frame of fixed size
}

void TFormSettings::BuildConnectionPage(QWidget* page, const QStringList& extraPorts) {
    auto* col = new QVBoxLayout(page);
    auto* portBox = new QGroupBox(t::kGroupPort, page);
    auto* portRow = new QHBoxLayout(portBox);
    cbPortList = new PortBox(extraPorts, portBox);
    cbPortList->setObjectName("cbPortList");
    cbPortList->setMinimumWidth(160);
    btnCheckConnection = new QPushButton(t::kCheckConnection, portBox);
    btnCheckConnection->setObjectName("btnCheckConnection");
    portRow->addWidget(new QLabel(t::kPortLabel, portBox));
    portRow->addWidget(cbPortList, 1);
    portRow->addWidget(btnCheckConnection);
    col->addWidget(portBox);

    auto* speedBox = new QGroupBox(t::kGroupSpeed, page);
    auto* speedForm = new QFormLayout(speedBox);
    cbBaudRate = new QComboBox(speedBox);
    cbBaudRate->setObjectName("cbBaudRate");
    cbBaudRate->addItems({"10400", "38400", "57600"});
    cbBaudRate->setCurrentIndex(0);
    speedForm->addRow(t::kInitSpeed, cbBaudRate);
    auto* delayRow = new QHBoxLayout();
    edDelay = new QSpinBox(speedBox);
    edDelay->setObjectName("edDelay");
    edDelay->setRange(10, 1000);
    edDelay->setValue(150);
    delayRow->addWidget(edDelay);
    delayRow->addWidget(new QLabel(t::kMs, speedBox));
    delayRow->addStretch(1);
    speedForm->addRow(t::kInterval, delayRow);
    col->addWidget(speedBox);

    auto* lcBox = new QGroupBox(t::kGroupLambda, page);
    auto* lcForm = new QFormLayout(lcBox);
    CbPortLC = new PortBox(extraPorts, lcBox);
    CbPortLC->setObjectName("CbPortLC");
    CBLamda = new QComboBox(lcBox);
    CBLamda->setObjectName("CBLamda");
    CBLamda->addItems({t::kLcTypeLc1, t::kLcTypeAem});
    CBLamda->setCurrentIndex(0);
    lcForm->addRow(t::kLcPortLabel, CbPortLC);
    lcForm->addRow(t::kLcTypeLabel, CBLamda);
    col->addWidget(lcBox);
    col->addStretch(1);
}

void TFormSettings::BuildLearningPage(QWidget* page) {
    auto* col = new QVBoxLayout(page);
    auto spin = [&](QGroupBox* box, QFormLayout* form, const char* name, const char* label, int min,
                    int max, int value) {
        auto* s = new QSpinBox(box);
        s->setObjectName(name);
        s->setRange(min, max);
        s->setValue(value);
        form->addRow(label, s);
        return s;
    };
    auto group = [&](const char* title) {
        auto* box = new QGroupBox(title, page);
        col->addWidget(box);
        return std::pair{box, new QFormLayout(box)};
    };
    auto [points, pointsForm] = group(t::kGroupPoints);
    RzSpinEdit2 = spin(points, pointsForm, "RzSpinEdit2", t::kMinHits, 0, 100, 0);
    RzSpinEdit3 = spin(points, pointsForm, "RzSpinEdit3", t::kMaxHits, 0, 100, 100);
    auto [stat, statForm] = group(t::kGroupStationary);
    RzSpinEdit4 = spin(stat, statForm, "RzSpinEdit4", t::kMinHits, 0, 10, 0);
    auto [cond, condForm] = group(t::kGroupConditions);
    RzSpinEdit5 = spin(cond, condForm, "RzSpinEdit5", t::kMinCoolant, -40, 120, 80);
    RzSpinEdit6 = spin(cond, condForm, "RzSpinEdit6", t::kMinVoltage, 8, 18, 8);
    col->addStretch(1);
}

void TFormSettings::loadsetting() {
    if (!LoadDialogSettings(path_, values_))
        return;
    edDelay->setValue(values_.delayRate);
    RzSpinEdit4->setValue(values_.stationarRt);
    RzSpinEdit2->setValue(values_.countRtRewrite);
    const int at = cbBaudRate->findText(QString::number(values_.baudRate1));
    if (at >= 0)
        cbBaudRate->setCurrentIndex(at);
}

bool TFormSettings::SaveSetting() {
    DialogFields f;
    f.ecuPort = cbPortList->Path().toStdString();
    f.lcPort = CbPortLC->Path().toStdString();
    f.lamSensor = CBLamda->currentText().toStdString();
    f.baudText = cbBaudRate->currentText().toStdString();
    f.delayText = edDelay->text().toStdString();
    f.stationarRt = RzSpinEdit4->value();
    f.countRtRewrite = RzSpinEdit2->value();
    std::string bad;
    const SaveResult r = SaveSettings(path_, f, &bad);
    if (r == SaveResult::Saved)
        return true;
    const QString text =
        r == SaveResult::NotAnInteger
            ? QString(t::kNotAnInteger).arg(QString::fromStdString(bad))
            : QString(t::kSettingsNotWritten) + ": " + QString::fromStdString(path_);
    if (messages_)
        messages_->Warning(text.toStdString(), t::kErrorCaption);
    else
        QMessageBox::warning(this, t::kErrorCaption, text);
    return false;
}

void TFormSettings::btnOKClick() {
    if (!SaveSetting())
        return;
    emit saved();
    accept();
}

void TFormSettings::btnApplyClick() {
    if (!SaveSetting())
        return;
    emit saved();
    btnApply->setEnabled(false);
}

void TFormSettings::btnCancelClick() {
    reject();
}

void TFormSettings::btnCheckConnectionClick() {
    // The link's own port warning becomes the reason in the check's answer.
    RecordedMessages portMessages;
    LinkHooks hooks;
    hooks.messages = &portMessages;
    const std::string port = cbPortList->Path().toStdString();
    TOBDII link(port, 10400, 38400, 100, false, false, 10, std::move(hooks));
    // A port that could not be opened runs no exchange and has no thread to wait for.
    const bool found = link.Running() && link.CheckConnection();
    std::string text = found ? t::kAdapterFound : t::kAdapterNotFound;
    if (!found && !portMessages.entries.empty())
        text += "\n" + PortOpenReason(portMessages.entries.front().text, PortOpenError(port));
    if (found) {
        if (messages_)
            messages_->Information(text, t::kCheckConnection);
        else
            QMessageBox::information(this, t::kCheckConnection, QString::fromStdString(text));
    } else if (messages_) {
        messages_->Warning(text, t::kCheckConnection);
    } else {
        QMessageBox::warning(this, t::kCheckConnection, QString::fromStdString(text));
    }
    if (link.Running())
        link.Stop();
}

}  // namespace veltrano
