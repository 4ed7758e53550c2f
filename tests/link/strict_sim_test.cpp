// The link against a simulator that keeps the ECU's rules: a link that skips a step of the
// connect fails there, and the same link passes the lenient simulator.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "link/link_texts.h"
#include "link/obdii.h"
#include "sim/ecu_simulator.h"

namespace veltrano {
namespace {

using namespace std::chrono_literals;

// The platform port that keeps the speed it was opened at, as a link that never switches.
class FixedSpeedLine final : public SerialLine {
  public:
    FixedSpeedLine() : line_(MakeSerialLine()) {}
    bool Open(const std::string& name) override { return line_->Open(name); }
    bool SetLine(int baud) override {
        if (opened_)
            return true;  // claims the switch, stays where it was
        opened_ = true;
        return line_->SetLine(baud);
    }
    void Purge() override { line_->Purge(); }
    long Write(const std::uint8_t* d, std::size_t n) override { return line_->Write(d, n); }
    long Waiting() override { return line_->Waiting(); }
    long Read(std::uint8_t* b, std::size_t n) override { return line_->Read(b, n); }
    void Close() override { line_->Close(); }
    bool IsOpen() const override { return line_->IsOpen(); }

  private:
    std::unique_ptr<SerialLine> line_;
    bool opened_ = false;
};

bool Traced(TOBDII& link, const std::string& text) {
    for (const auto& l : link.FLogList.Items()) {
        if (l.find(text) != std::string::npos)
            return true;
    }
    return false;
}

TEST(StrictSimulator, StepsALinkSkipsFailThere) {
    struct Case {
        const char* name;
        bool fixedSpeed;
        std::function<bool(TOBDII&)> run;  // true when the step worked
    } cases[] = {
        {"session without start communication", false,
         [](TOBDII& l) { return l.StartDiagnosticSession(); }},
        {"live data without the diagnostic session", false,
         [](TOBDII& l) {
             l.StartCommunication();
             l.ReadLiveData();
             return l.FCommunication && l.Live().sequence > 0 &&
                    !Traced(l, link_text::kNegativeAnswer);
         }},
        {"connect without the speed switch", true, [](TOBDII& l) { return l.ConnectToECU(); }},
    };
    for (const auto& c : cases) {
        for (bool lenient : {false, true}) {
            SCOPED_TRACE(std::string(c.name) + (lenient ? ", lenient" : ", strict"));
            EcuSimOptions o;
            o.wireTiming = false;
            o.answerDelayMs = 1;
            o.lenient = lenient;
            EcuSimulator sim(o);
            std::string error;
            ASSERT_TRUE(sim.Start(&error)) << error;
            LinkHooks hooks;
            if (c.fixedSpeed)
                hooks.line = std::make_unique<FixedSpeedLine>();
            TOBDII link(sim.DevicePath(), 38400, 10400, 100, false, false, 30, std::move(hooks));
            ASSERT_TRUE(link.Running());
            EXPECT_EQ(c.run(link), lenient);
            if (c.fixedSpeed && !lenient) {
                EXPECT_GT(sim.Status().misheardBytes, 0);
            }
        }
    }
}

}  // namespace
}  // namespace veltrano
