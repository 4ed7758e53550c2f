// The settings dialog "Настройки": connection page and learning page.
#pragma once

#include <QDialog>
#include <string>

#include "app/port_box.h"
#include "app/settings/settings.h"

class QComboBox;
class QPushButton;
class QSpinBox;
class QTabWidget;

namespace veltrano {

class Messages;

class TFormSettings : public QDialog {
    Q_OBJECT
  public:
    // `values` are the program-wide settings the dialog's reader fills; `extraPorts` are
    // offered after the machine's ports (the demo's simulator ports).
    TFormSettings(AppSettings& values, std::string path, QWidget* parent = nullptr,
                  Messages* messages = nullptr, QStringList extraPorts = {});

    // SaveSetting: false (nothing written) when a number field holds no integer.
    bool SaveSetting();
    void btnOKClick();
    void btnApplyClick();
    void btnCancelClick();
    void btnCheckConnectionClick();

    PortBox* cbPortList = nullptr;
    QComboBox* cbBaudRate = nullptr;
    QSpinBox* edDelay = nullptr;
    PortBox* CbPortLC = nullptr;
    QComboBox* CBLamda = nullptr;
    QSpinBox* RzSpinEdit2 = nullptr;
    QSpinBox* RzSpinEdit3 = nullptr;
    QSpinBox* RzSpinEdit4 = nullptr;
    QSpinBox* RzSpinEdit5 = nullptr;
    QSpinBox* RzSpinEdit6 = nullptr;
    QPushButton* btnCheckConnection = nullptr;
    QPushButton* btnOK = nullptr;
    QPushButton* btnCancel = nullptr;
    QPushButton* btnApply = nullptr;
    QTabWidget* pages = nullptr;

  signals:
    // The file was written; the main window reloads its settings.
    void saved();

  private:
    void loadsetting();
    void BuildConnectionPage(QWidget* page, const QStringList& extraPorts);
    void BuildLearningPage(QWidget* page);

    AppSettings& values_;
    std::string path_;
    Messages* messages_;
};

}  // namespace veltrano
