#include "app/log_filter_box.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QSpinBox>

#include "app/app_texts.h"

namespace veltrano {
namespace t = app_texts;

LogFilterBox::LogFilterBox(QWidget* parent) : QGroupBox(t::kLogFilters, parent) {
    setObjectName("LogFilters");
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(4, 4, 4, 4);
    grid->setVerticalSpacing(1);
    warm_ = new QCheckBox(t::kFilterWarm, this);
    coolant_ = new QSpinBox(this);
    coolant_->setRange(kLearnCoolantRange.min, kLearnCoolantRange.max);
    coolant_->setSuffix(" °C");
    noFuelCut_ = new QCheckBox(t::kFilterNoFuelCut, this);
    throttle_ = new QCheckBox(t::kFilterThrottle, this);
    stationary_ = new QCheckBox(t::kFilterStationary, this);
    steady_ = new QSpinBox(this);
    steady_->setRange(kStationaryRange.min, kStationaryRange.max);
    grid->addWidget(warm_, 0, 0);
    grid->addWidget(coolant_, 0, 1);
    grid->addWidget(noFuelCut_, 1, 0, 1, 2);
    grid->addWidget(throttle_, 2, 0, 1, 2);
    grid->addWidget(stationary_, 3, 0);
    grid->addWidget(steady_, 3, 1);
    SetFilter(RowFilter{});
    for (QCheckBox* box : {warm_, noFuelCut_, throttle_, stationary_})
        connect(box, &QCheckBox::toggled, this, [this] {
            if (!setting_)
                emit changed();
        });
    for (QSpinBox* spin : {coolant_, steady_})
        connect(spin, &QSpinBox::valueChanged, this, [this] {
            if (!setting_)
                emit changed();
        });
}

RowFilter LogFilterBox::Filter() const {
    RowFilter f;
    f.warm = warm_->isChecked();
    f.learnCoolant = coolant_->value();
    f.noFuelCut = noFuelCut_->isChecked();
    f.throttleOpen = throttle_->isChecked();
    f.stationary = stationary_->isChecked();
    f.stationaryRecords = steady_->value();
    return f;
}

void LogFilterBox::SetFilter(const RowFilter& f) {
    setting_ = true;
    warm_->setChecked(f.warm);
    coolant_->setValue(f.learnCoolant);
    noFuelCut_->setChecked(f.noFuelCut);
    throttle_->setChecked(f.throttleOpen);
    stationary_->setChecked(f.stationary);
    steady_->setValue(f.stationaryRecords);
    setting_ = false;
    emit changed();
}

}  // namespace veltrano
