#include "link/monitor_command.h"

#include <csignal>
#include <cstdio>
#include <iostream>

#include "link/live_record_json.h"
#include "link/monitor_options.h"
#include "link/obdii.h"

namespace veltrano {
namespace {

std::atomic<bool> interrupted{false};

extern "C" void OnInterrupt(int) {
    interrupted = true;
}

// The link's warnings as one line each on stderr.
class StderrMessages final : public Messages {
  public:
    void Warning(const std::string& text, const std::string&) override {
        std::cerr << "veltrano-cli monitor: " << text << '\n';
        ++shown;
    }
    void Information(const std::string& text, const std::string&) override {
        std::cerr << "veltrano-cli monitor: " << text << '\n';
    }
    bool Confirm(const std::string&, const std::string&) override { return false; }
    int shown = 0;
};

int Fail(const std::string& message) {
    std::cerr << "veltrano-cli monitor: " << message << '\n';
    return 1;
}

std::string PlainLine(long n, const LiveRecord& r) {
    char text[256];
    std::snprintf(text, sizeof text,
                  "#%ld block %02X rpm %.0f throttle %.0f coolant %.0f afr %.2f spark %.1f "
                  "inj %.3f ms duty %.1f%% pressure %d lambda %.3f V battery %.2f V",
                  n, r.block, r.FsensorCrankshaftSpeed, r.FsensorThrottlePosition,
                  r.FsensorCoolantTemp, r.FsensorAirFuelRatio, r.FsensorSparkAngle,
                  r.FsensorFuelTimeLength, r.InjDuty, r.FsensorPressure, r.FsensorLambdaVoltage,
                  r.FsensorVoltage);
    return text;
}

// Prints records until `records` were shown (0: until interrupted) or the link is lost.
long PrintRecords(TOBDII& link, const MonitorOptions& o) {
    long shown = 0;
    while (!interrupted && (o.records == 0 || shown < o.records)) {
        if (!link.WaitForNewRecord(std::chrono::milliseconds(200))) {
            if (!link.Flag)
                break;  // polling stopped: the link is lost
            continue;
        }
        const LiveRecord r = link.Live();
        link.SetIsNew(false);
        ++shown;
        std::cout << (o.json ? LiveRecordJson(r) : PlainLine(shown, r)) << std::endl;
    }
    return shown;
}

}  // namespace

int RunMonitorCommand(int argc, char** argv) {
    std::string error;
    const auto options = ParseMonitorOptions({argv, argv + argc}, error);
    if (!options)
        return Fail(error);
    const MonitorOptions& o = *options;

    StderrMessages messages;
    LinkHooks hooks;
    hooks.messages = &messages;
    TOBDII link(o.port, o.baud, 10400, o.delay_ms.value_or(100), false, false, 30,
                std::move(hooks));
    if (!link.Running()) {
        return messages.shown > 0 ? 1 : Fail("cannot set the line speed on " + o.port);
    }
    if (!link.ConnectToECU())
        return Fail("no answer from the ECU on " + o.port);
    if (o.olt)
        link.FlagOLT = true;
    if (o.delay_ms)
        link.SleepTimeWrite = *o.delay_ms;

    interrupted = false;
    auto previous_int = std::signal(SIGINT, OnInterrupt);
    auto previous_term = std::signal(SIGTERM, OnInterrupt);
    link.Flag = true;
    const long shown = PrintRecords(link, o);
    // Only an interrupt or the records asked for end the printing; anything else is a loss.
    const bool lost = !interrupted && (o.records == 0 || shown < o.records);
    const bool stopped = link.Stop();
    std::signal(SIGINT, previous_int);
    std::signal(SIGTERM, previous_term);

    if (lost)
        return Fail("link lost after " + std::to_string(shown) + " records");
    if (shown == 0 && !interrupted)
        return Fail("no live data from the ECU");
    if (!stopped)
        return Fail("the ECU did not confirm the stop");
    return shown > 0 ? 0 : 1;
}

}  // namespace veltrano
