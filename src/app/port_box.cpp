#include "app/port_box.h"

#include <QFileInfo>
#include <QSerialPortInfo>
#include <QSignalBlocker>

namespace veltrano {

std::vector<PortInfo> SystemPorts() {
    std::vector<PortInfo> ports;
    for (const QSerialPortInfo& p : QSerialPortInfo::availablePorts()) {
        PortInfo info;
        info.device = p.systemLocation().toStdString();
        info.description = p.description().toStdString();
        info.manufacturer = p.manufacturer().toStdString();
        info.byId = ByIdName(info.device);
        info.accessDenied = AccessDenied(info.device);
        ports.push_back(std::move(info));
    }
    return ports;
}

PortBox::PortBox(QStringList extra, QWidget* parent, Source source)
    : QComboBox(parent), source_(std::move(source)), extra_(std::move(extra)) {
    Fill({});
}

void PortBox::Refresh() {
    Fill(Path());
}

void PortBox::Fill(const QString& keep) {
    const QSignalBlocker quiet(this);
    clear();
    for (const PortEntry& e : PortEntries(source_ ? source_() : std::vector<PortInfo>{})) {
        const QString path = QString::fromStdString(e.path);
        addItem(QString::fromStdString(e.text), path);
        setItemData(count() - 1, QString::fromStdString(e.text), Qt::ToolTipRole);
    }
    for (const QString& p : extra_ + kept_) {
        if (findData(p) < 0)
            addItem(p, p);
    }
    const int at = keep.isEmpty() ? -1 : findData(keep);
    setCurrentIndex(at >= 0 ? at : count() - 1);
}

void PortBox::SetPath(const QString& path) {
    if (findData(path) < 0 && path.startsWith("/dev/") && QFileInfo::exists(path)) {
        kept_ << path;
        addItem(path, path);
    }
    const int at = findData(path);
    setCurrentIndex(at >= 0 ? at : count() - 1);
}

QString PortBox::Path() const {
    const QVariant data = currentData();
    return data.isValid() ? data.toString() : currentText();
}

void PortBox::showPopup() {
    Refresh();
    QComboBox::showPopup();
}

}  // namespace veltrano
