// Undo and redo over the edits of one image, bounded to a number of steps.
#pragma once

#include <cstddef>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "editing/table_edit.h"

namespace veltrano {

class EditHistory {
  public:
    static constexpr std::size_t kDefaultLimit = 1000;
    explicit EditHistory(std::size_t limit = kDefaultLimit) : limit_(limit) {}

    // A new edit; an empty one is dropped. Clears what could be redone.
    void Push(TableEdit edit);
    bool CanUndo() const { return !done_.empty(); }
    bool CanRedo() const { return !undone_.empty(); }
    // What the next undo or redo takes back ("" when there is none).
    std::string UndoWhat() const;
    std::string RedoWhat() const;
    // Takes the last edit back (or puts the last undone one again) and returns it.
    std::optional<TableEdit> Undo(CalibrationGrids& grids, TFirmware& firmware);
    std::optional<TableEdit> Redo(CalibrationGrids& grids, TFirmware& firmware);
    void Clear();
    std::size_t UndoSteps() const { return done_.size(); }

  private:
    std::size_t limit_;
    std::deque<TableEdit> done_;
    std::vector<TableEdit> undone_;
};

}  // namespace veltrano
