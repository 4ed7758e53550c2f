#include "app/window_learning_view.h"

#include <utility>

namespace veltrano {

void WindowLearningView::RecordProcessed(const LearningShown& shown) {
    std::lock_guard<std::mutex> lock(mutex_);
    // A reading taken by an earlier record the window has not shown yet stays visible.
    std::optional<LambdaReading> reading = shown.reading;
    if (!reading && record_)
        reading = record_->reading;
    record_ = shown;
    record_->reading = reading;
    recordAt_ = std::chrono::steady_clock::now();
    records_ += 1;
}

void WindowLearningView::PendingReading(const LambdaReading& reading) {
    std::lock_guard<std::mutex> lock(mutex_);
    pending_ = reading;
}

void WindowLearningView::LogStatus(const std::string& text) {
    std::lock_guard<std::mutex> lock(mutex_);
    logStatus_ = text;
}

void WindowLearningView::CellNotNumber(const std::string& text) {
    std::lock_guard<std::mutex> lock(mutex_);
    cellProblem_ = text;
}

std::optional<LearningShown> WindowLearningView::TakeRecord(
    std::chrono::steady_clock::time_point* at) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (at)
        *at = recordAt_;
    return std::exchange(record_, std::nullopt);
}

std::optional<LambdaReading> WindowLearningView::TakePending() {
    std::lock_guard<std::mutex> lock(mutex_);
    return std::exchange(pending_, std::nullopt);
}

std::optional<std::string> WindowLearningView::TakeLogStatus() {
    std::lock_guard<std::mutex> lock(mutex_);
    return std::exchange(logStatus_, std::nullopt);
}

std::optional<std::string> WindowLearningView::TakeCellProblem() {
    std::lock_guard<std::mutex> lock(mutex_);
    return std::exchange(cellProblem_, std::nullopt);
}

}  // namespace veltrano
