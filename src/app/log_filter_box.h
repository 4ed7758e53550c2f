// The log viewer's filters, like the learning gates: warm engine, no fuel cut, throttle
// open, stationary. The per-cell map and the plots obey them.
#pragma once

#include <QGroupBox>

#include "analysis/row_filter.h"

class QCheckBox;
class QSpinBox;

namespace veltrano {

class LogFilterBox : public QGroupBox {
    Q_OBJECT
  public:
    explicit LogFilterBox(QWidget* parent = nullptr);

    RowFilter Filter() const;
    void SetFilter(const RowFilter& filter);

  signals:
    void changed();

  private:
    QCheckBox* warm_ = nullptr;
    QSpinBox* coolant_ = nullptr;
    QCheckBox* noFuelCut_ = nullptr;
    QCheckBox* throttle_ = nullptr;
    QCheckBox* stationary_ = nullptr;
    QSpinBox* steady_ = nullptr;
    bool setting_ = false;
};

}  // namespace veltrano
