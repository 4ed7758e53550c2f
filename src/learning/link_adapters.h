// The learning side's view of a real connection: TOBDII and TLcThreat behind the small
// interfaces the cycle uses.
#pragma once

#include "lambda/lc_threat.h"
#include "learning/learning_link.h"
#include "link/obdii.h"

namespace veltrano {

class ObdiiLearningLink final : public LearningLink {
  public:
    explicit ObdiiLearningLink(TOBDII& link) : link_(link) {}

    bool Running() const override;
    bool IsNew() const override;
    void ClearNew() override;
    bool WaitForNew(std::chrono::milliseconds timeout) override;
    LiveRecord Live() const override;
    void EnterOltMode(const TableAddresses& addresses) override;
    bool OltMode() const override;
    bool SwitchedToRam() const override;
    void SetRequestDelay(int ms) override;
    int SendingDelay() const override;
    void WithTables(const std::function<void(LinkTables&)>& fn) override;
    void Raise(LinkRequest request) override;
    void ClearFirmwareRequests() override;

  private:
    TOBDII& link_;
};

// A missing reader (none configured, or its port failed) is never running.
class LcLearningLambda final : public LearningLambda {
  public:
    explicit LcLearningLambda(TLcThreat* reader) : reader_(reader) {}

    bool Running() const override;
    bool Pending() const override;
    std::optional<LambdaReading> Take() override;
    LambdaReading Reading() const override;

  private:
    TLcThreat* reader_;
};

}  // namespace veltrano
