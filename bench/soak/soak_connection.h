// One connection of the soak, as the window makes it: link, wideband reader, learning and
// log; run under faults; settled and checked; then disconnected with every stop timed.
#pragma once

#include <atomic>
#include <chrono>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <random>
#include <vector>

#include "bench/soak/fault_injector.h"
#include "bench/soak/soak_report.h"
#include "bench/soak/watchdog.h"
#include "calibration/calibration_file.h"
#include "lambda/lc_threat.h"
#include "learning/learning_connection.h"
#include "link/obdii.h"

namespace veltrano::soak {

struct SoakEnv {
    SimRig& sim;
    Calibration& cal;
    LearningEngine& engine;
    std::filesystem::path logs;
    SoakReport& report;
    Watchdog& watchdog;
    std::mt19937& rng;
    bool wireTiming = false;
};

// Bounds of the stops, in ms.
struct StopBounds {
    int learning = 1000;
    int link = 3000;
    int lambda = 1000;
};

class SoakConnection {
  public:
    using Clock = std::chrono::steady_clock;

    SoakConnection(SoakEnv& env, int index, WriteTarget target);
    ~SoakConnection();

    // Opens the link and the reader and connects; false when the ECU did not answer.
    bool Connect();
    // Polls under faults until `until`; false when the link was lost before.
    bool Run(Clock::time_point until, FaultInjector& faults);
    // Faults off, learning off, every raised write served; false when that did not happen.
    bool Settle();
    // Every table write of this connection landed in the ECU, is still raised or failed
    // visibly. `settled`: nothing may still be raised.
    void CheckWrites(bool settled);
    // Ends learning, link and reader as the window does, each stop timed.
    void Disconnect(const StopBounds& bounds);
    // The log holds one well-formed row per record processed.
    void CheckRows();

  private:
    // Block write progress, from the link thread.
    struct Progress {
        std::atomic<int> remaining{0};  // blocks of the write in progress still to go
        std::atomic<long> lastMs{0};    // when a block last went out, steady ms
    };

    void RequestTableWrite();
    void CheckOltBlock(bool settled);
    void Timed(const char* what, int bound_ms, const std::function<void()>& step);
    std::vector<std::uint8_t> NudgedTable(std::uint16_t address);

    SoakEnv& env_;
    WriteTarget target_;
    SilentMessages quiet_;  // the link's port warning
    std::string stamp_;
    std::unique_ptr<TOBDII> link_;
    std::unique_ptr<TLcThreat> lc_;
    std::unique_ptr<LearningConnection> learning_;
    long recordsAtStart_ = 0;
    long recordsAtEnd_ = 0;
    long writesAtStart_ = 0;
    std::map<WriteRequest, bool> requested_;
    Progress progress_;
};

}  // namespace veltrano::soak
