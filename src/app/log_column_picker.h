// The log's columns grouped as the analysis groups them (engine, mixture, ignition,
// sensors, flags), each with a check box; the checked ones are plotted, in the order checked.
#pragma once

#include <QTreeWidget>
#include <vector>

namespace veltrano {

class LogColumnPicker : public QTreeWidget {
    Q_OBJECT
  public:
    explicit LogColumnPicker(QWidget* parent = nullptr);

    // Checks exactly these columns (log column indices), in this order.
    void SetChecked(const std::vector<int>& columns);
    const std::vector<int>& Checked() const { return checked_; }
    QTreeWidgetItem* ItemOf(int column) const;
    // The width that shows every name whole, with the vertical scroll bar.
    int FullWidth() const;

  signals:
    void columnsChanged(const std::vector<int>& columns);

  private:
    void ItemChanged(QTreeWidgetItem* item);
    std::vector<int> checked_;
    bool setting_ = false;
};

}  // namespace veltrano
