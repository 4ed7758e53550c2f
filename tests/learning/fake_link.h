// Link and wideband reader stand-ins: a live record the test publishes, buffers and
// request flags the test inspects.
#pragma once

#include <map>
#include <mutex>

#include "learning/learning_link.h"
#include "link/wake_flag.h"

namespace veltrano {

class FakeLink final : public LearningLink {
  public:
    void Publish(LiveRecord record) {
        {
            std::lock_guard lock(mutex_);
            record.sequence = ++sequence_;
            live_ = record;
        }
        isNew_ = true;
    }
    bool Running() const override { return running; }
    bool IsNew() const override { return isNew_.load(); }
    void ClearNew() override { isNew_ = false; }
    bool WaitForNew(std::chrono::milliseconds timeout) override {
        return isNew_.WaitFor(true, timeout);
    }
    LiveRecord Live() const override {
        std::lock_guard lock(mutex_);
        return live_;
    }
    void EnterOltMode(const TableAddresses& a) override {
        std::lock_guard lock(mutex_);
        olt = true;
        tables.StartAddrAFR = a.StartAddrAFR;
        tables.StartAddrUOZ = a.StartAddrUOZ;
        tables.StartAddrPCN = a.StartAddrPCN;
        tables.StartAddrBCN = a.StartAddrBCN;
    }
    bool OltMode() const override { return olt; }
    bool SwitchedToRam() const override { return switchedToRam; }
    void SetRequestDelay(int ms) override { requestDelay = ms; }
    int SendingDelay() const override { return 7; }
    void WithTables(const std::function<void(LinkTables&)>& fn) override {
        std::lock_guard lock(mutex_);
        fn(tables);
    }
    void Raise(LinkRequest request) override {
        std::lock_guard lock(mutex_);
        raised[request] += 1;
    }
    void ClearFirmwareRequests() override { firmwareRequestsCleared = true; }

    int Raised(LinkRequest r) const {
        std::lock_guard lock(mutex_);
        auto it = raised.find(r);
        return it == raised.end() ? 0 : it->second;
    }
    LinkTables Tables() const {
        std::lock_guard lock(mutex_);
        return tables;
    }

    std::atomic<bool> running{true};
    std::atomic<bool> olt{false};
    std::atomic<bool> switchedToRam{false};
    std::atomic<int> requestDelay{0};
    std::atomic<bool> firmwareRequestsCleared{false};
    LinkTables tables;  // guarded by mutex_ once a thread runs

  private:
    mutable std::mutex mutex_;
    LiveRecord live_;
    std::uint64_t sequence_ = 0;
    WakeFlag isNew_;
    std::map<LinkRequest, int> raised;
};

class FakeLambda final : public LearningLambda {
  public:
    void Publish(double afr) {
        std::lock_guard lock(mutex_);
        reading_.AFR = afr;
        reading_.stochiometric = 1.47;
        pending_ = true;
    }
    bool Running() const override { return true; }
    bool Pending() const override {
        std::lock_guard lock(mutex_);
        return pending_;
    }
    std::optional<LambdaReading> Take() override {
        std::lock_guard lock(mutex_);
        if (!pending_)
            return std::nullopt;
        pending_ = false;
        return reading_;
    }
    LambdaReading Reading() const override {
        std::lock_guard lock(mutex_);
        return reading_;
    }

  private:
    mutable std::mutex mutex_;
    LambdaReading reading_;
    bool pending_ = false;
};

}  // namespace veltrano
