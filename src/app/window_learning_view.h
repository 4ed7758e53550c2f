// The learning cycle's reports, kept for the window: the cycle's thread stores the latest
// state, the window's refresh timer takes it. Nothing queues up: a slow window skips
// intermediate records and shows the newest.
#pragma once

#include <atomic>
#include <chrono>
#include <mutex>
#include <optional>
#include <string>

#include "learning/learning_view.h"

namespace veltrano {

class WindowLearningView final : public LearningView {
  public:
    void RecordProcessed(const LearningShown& shown) override;
    void PendingReading(const LambdaReading& reading) override;
    void CellChanged() override { cellChanged_ = true; }
    void GridsChanged() override { gridsChanged_ = true; }
    void LogStatus(const std::string& text) override;
    void CellNotNumber(const std::string& text) override;

    // Window thread: the newest record since the last call, if any, and when it was reported.
    std::optional<LearningShown> TakeRecord(std::chrono::steady_clock::time_point* at = nullptr);
    std::optional<LambdaReading> TakePending();
    bool TakeCellChanged() { return cellChanged_.exchange(false); }
    bool TakeGridsChanged() { return gridsChanged_.exchange(false); }
    std::optional<std::string> TakeLogStatus();
    std::optional<std::string> TakeCellProblem();
    std::uint64_t Records() const { return records_.load(); }

  private:
    std::mutex mutex_;
    std::optional<LearningShown> record_;
    std::chrono::steady_clock::time_point recordAt_;
    std::optional<LambdaReading> pending_;
    std::optional<std::string> logStatus_;
    std::optional<std::string> cellProblem_;
    std::atomic<bool> cellChanged_{false};
    std::atomic<bool> gridsChanged_{false};
    std::atomic<std::uint64_t> records_{0};
};

}  // namespace veltrano
