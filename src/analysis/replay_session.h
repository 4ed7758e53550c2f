// A replay in place of a connection: the log's rows, at their pace, reach the learning
// cycle as live records through a link that has no port; the window's live view, current
// cell and colouring follow them as on-line. Nothing is sent anywhere.
#pragma once

#include <atomic>
#include <memory>
#include <mutex>
#include <thread>

#include "analysis/replay_source.h"
#include "learning/education_thread.h"
#include "learning/learning_engine.h"
#include "link/wake_flag.h"

namespace veltrano {

// The link of a replay: publishes log rows as live records; table requests are counted
// and dropped.
class ReplayLink final : public LearningLink {
  public:
    void Publish(LiveRecord record);
    bool Running() const override { return true; }
    bool IsNew() const override { return isNew_.load(); }
    void ClearNew() override { isNew_ = false; }
    bool WaitForNew(std::chrono::milliseconds timeout) override;
    LiveRecord Live() const override;
    void EnterOltMode(const TableAddresses&) override {}
    bool OltMode() const override { return false; }
    bool SwitchedToRam() const override { return false; }
    void SetRequestDelay(int) override {}
    int SendingDelay() const override { return 0; }
    void WithTables(const std::function<void(LinkTables&)>& fn) override;
    void Raise(LinkRequest) override { ++dropped_; }
    void ClearFirmwareRequests() override {}
    // Write requests made during the replay (none reach an ECU).
    long DroppedRequests() const { return dropped_.load(); }

  private:
    mutable std::mutex mutex_;
    LiveRecord live_;
    std::uint64_t sequence_ = 0;
    LinkTables tables_;
    WakeFlag isNew_;
    std::atomic<long> dropped_{0};
};

// The wideband reader of a replay: the row's "AFR с шдк" as a new reading.
class ReplayLambda final : public LearningLambda {
  public:
    void Publish(double afr);
    bool Running() const override { return true; }
    bool Pending() const override;
    std::optional<LambdaReading> Take() override;
    LambdaReading Reading() const override;

  private:
    mutable std::mutex mutex_;
    LambdaReading reading_;
};

class ReplaySession {
  public:
    // Starts paused. `engine` must outlive the session; whether it learns from the replayed
    // rows is its learning switch (off for a plain replay). No session log is written.
    ReplaySession(LearningEngine& engine, std::shared_ptr<const LogTable> log);
    // Stops the driver and the cycle, and waits for both.
    ~ReplaySession();
    ReplaySession(const ReplaySession&) = delete;
    ReplaySession& operator=(const ReplaySession&) = delete;

    // Play, pause, speed and the slider's position.
    ReplaySource& Source() { return source_; }
    ReplayLink& Link() { return link_; }

  private:
    void Drive();

    ReplaySource source_;
    ReplayLink link_;
    ReplayLambda lambda_;
    std::atomic<bool> stopping_{false};
    std::thread driver_;
    std::unique_ptr<TEducation_Thread> cycle_;
};

}  // namespace veltrano
