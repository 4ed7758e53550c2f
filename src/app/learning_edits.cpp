#include "app/learning_edits.h"

#include "editing/editing_texts.h"

namespace veltrano {

LearningEdits::LearningEdits(QObject* parent, Calibration& calibration, TableEditor& editor)
    : QObject(parent), c_(calibration), editor_(editor) {}

void LearningEdits::UpdateStarting() {
    // The update writes the link's table, not the image: only the grids are watched.
    generation_ = editor_.Generation();
    recorder_.emplace(c_.grids, nullptr, std::vector<TableId>{TableId::PCN, TableId::BCN});
}

void LearningEdits::UpdateDone() {
    if (!recorder_)
        return;
    TableEdit edit = recorder_->Finish(editing_texts::kEditLearning, c_.grids, nullptr);
    recorder_.reset();
    if (edit.Empty())
        return;
    QMetaObject::invokeMethod(
        this,
        [this, edit = std::move(edit), generation = generation_]() mutable {
            editor_.Push(std::move(edit), generation);
        },
        Qt::QueuedConnection);
}

}  // namespace veltrano
