// State of the ECU simulator shared by its thread and its public operations.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include "sim/builtin_image.h"
#include "sim/ecu_frame.h"
#include "sim/ecu_services.h"
#include "sim/ecu_simulator.h"
#include "sim/ecu_tables.h"
#include "sim/engine_model.h"
#include "sim/fault_plan.h"
#include "sim/paced_writer.h"
#include "sim/pty_port.h"

namespace veltrano {

using SimClock = std::chrono::steady_clock;

EngineSettings SettingsFrom(const EcuSimOptions& o);

struct EcuSimulator::Impl {
    explicit Impl(EcuSimOptions o)
        : options(std::move(o)), engine(SettingsFrom(options)), writer(port, stop) {
        state.memory = options.image.size() >= 0x10000 ? options.image : DefaultEcuImage();
        state.memory.resize(0x10000);
        state.calibrated = state.memory;
        state.config = ReadEcuConfig(state.memory);
        state.startBaud = state.lineBaud = options.startBaud;
        state.troubleCodes = options.troubleCodes;
        state.bareWriteAnswer = options.bareWriteAnswer;
        state.strict = !options.lenient;
        writer.SetPacing(options.wireTiming);
        writer.SetBaud(options.startBaud);
        answerDelayMs = options.answerDelayMs;
        lastEngineUpdate = SimClock::now();
    }

    void Run();
    void HandleChunk(const std::uint8_t* bytes, long n, std::vector<std::uint8_t>& echo);
    void Echo(std::vector<std::uint8_t>& echo, bool withEcho);
    void Serve(const EcuRequest& request);
    void SendAnswer(std::vector<std::uint8_t> frame, const FaultPlan& plan, int baud);
    // False when a strict ECU at `ecuBaud` and the tester's end of the line disagree on the
    // speed. Caller holds mutex.
    bool HearsTester(int ecuBaud) const;
    void Housekeeping(SimClock::time_point lastByte);
    EngineState EngineNow();  // caller holds mutex

    EcuSimOptions options;
    mutable std::mutex mutex;  // everything below but the port, writer and thread
    mutable std::condition_variable requestArrived;
    EcuState state;
    EngineModel engine;
    SimClock::time_point lastEngineUpdate;
    EcuFaults faults;
    long requestsSinceFaults = 0;
    long requests = 0;
    long answers = 0;
    long misheardBytes = 0;
    std::vector<std::vector<std::uint8_t>> log;
    std::size_t requestsTotal = 0;
    std::atomic<int> answerDelayMs{25};
    SimClock::time_point lastRequest = SimClock::now();

    PtyPort port;
    StopSignal stop;
    PacedWriter writer;
    RequestCollector collector;  // thread only
    int wakePipe[2] = {-1, -1};
    std::thread thread;
    bool started = false;
};

}  // namespace veltrano
