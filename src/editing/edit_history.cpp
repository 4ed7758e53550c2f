#include "editing/edit_history.h"

namespace veltrano {

void EditHistory::Push(TableEdit edit) {
    if (edit.Empty())
        return;
    undone_.clear();
    done_.push_back(std::move(edit));
    while (done_.size() > limit_)
        done_.pop_front();
}

std::string EditHistory::UndoWhat() const {
    return done_.empty() ? std::string() : done_.back().what;
}

std::string EditHistory::RedoWhat() const {
    return undone_.empty() ? std::string() : undone_.back().what;
}

std::optional<TableEdit> EditHistory::Undo(CalibrationGrids& grids, TFirmware& firmware) {
    if (done_.empty())
        return std::nullopt;
    undone_.push_back(std::move(done_.back()));
    done_.pop_back();
    ApplyEdit(undone_.back(), false, grids, firmware);
    return undone_.back();
}

std::optional<TableEdit> EditHistory::Redo(CalibrationGrids& grids, TFirmware& firmware) {
    if (undone_.empty())
        return std::nullopt;
    done_.push_back(std::move(undone_.back()));
    undone_.pop_back();
    ApplyEdit(done_.back(), true, grids, firmware);
    return done_.back();
}

void EditHistory::Clear() {
    done_.clear();
    undone_.clear();
}

}  // namespace veltrano
