// The settings dialog's port list: serial ports by device, description and maker, with their
// stable by-id names, read from the system again each time the list opens.
#pragma once

#include <QComboBox>
#include <QStringList>
#include <functional>
#include <vector>

#include "app/settings/port_names.h"

namespace veltrano {

// The machine's serial ports through QSerialPortInfo.
std::vector<PortInfo> SystemPorts();

class PortBox : public QComboBox {
  public:
    using Source = std::function<std::vector<PortInfo>()>;
    // `extra` paths are offered after the machine's ports (the demo's simulator ports).
    explicit PortBox(QStringList extra = {}, QWidget* parent = nullptr,
                     Source source = SystemPorts);

    // Reads the ports again; the chosen path stays chosen.
    void Refresh();
    // Chooses `path`. A path not listed but present (a pseudo-terminal, a by-id link) is
    // added; otherwise the last port of the list stays chosen.
    void SetPath(const QString& path);
    // The chosen device path as Settings.ini keeps it.
    QString Path() const;

    void showPopup() override;

  private:
    void Fill(const QString& keep);

    Source source_;
    QStringList extra_;
    QStringList kept_;  // configured paths offered although no port lists them
};

}  // namespace veltrano
