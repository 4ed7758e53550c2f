// Each learning update becomes one edit of the history: recorded on the learning cycle's thread
// (the grids' lock is held there) and handed to the window's thread.
#pragma once

#include <QObject>
#include <cstdint>
#include <optional>

#include "editing/table_editor.h"
#include "learning/learning_engine.h"

namespace veltrano {

class LearningEdits final : public QObject, public TableUpdateObserver {
    Q_OBJECT
  public:
    LearningEdits(QObject* parent, Calibration& calibration, TableEditor& editor);
    void UpdateStarting() override;
    void UpdateDone() override;

  private:
    Calibration& c_;
    TableEditor& editor_;
    // Only on the cycle's thread, under the grids' lock.
    std::optional<EditRecorder> recorder_;
    std::uint64_t generation_ = 0;
};

}  // namespace veltrano
