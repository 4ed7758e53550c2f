// The precise learning mode's controls on the "Настройка" tab: the "Точный" radio beside
// "Alg2", the exhaust delay table, and locking the selected fuel-table cells.
#pragma once

#include <QObject>
#include <functional>

#include "learning/learning_options.h"

class QGroupBox;
class QRadioButton;
class QToolButton;
class QWidget;

namespace veltrano {

class LearningEngine;
class GridView;

class PreciseControls : public QObject {
  public:
    // Adds the radio to `alg2`'s group box; the delay table and the locks are actions of a
    // menu button (`MenuButton`) the tab places. `changed` runs when the mode or the delays
    // change; `selection` names the grid whose selected cells the lock actions act on.
    PreciseControls(QGroupBox* sources, QRadioButton* alg2, LearningEngine& engine,
                    std::function<GridView*()> selection, std::function<void()> changed);

    // The mode and the delays into the options the cycle gets.
    void Apply(LearningOptions& options) const;
    QRadioButton* Radio() const { return precise_; }
    QToolButton* MenuButton() const { return menuButton_; }
    const ExhaustDelayTable& Delays() const { return delays_; }
    void SetDelays(const ExhaustDelayTable& delays);
    // Locks (or frees) the cells selected in the grid.
    void LockSelection(bool locked);
    // Opens the delay table for editing; applies it on OK.
    void EditDelays(QWidget* parent);

  private:
    LearningEngine& engine_;
    std::function<GridView*()> selection_;
    std::function<void()> changed_;
    QRadioButton* precise_ = nullptr;
    QToolButton* menuButton_ = nullptr;
    ExhaustDelayTable delays_;
};

}  // namespace veltrano
