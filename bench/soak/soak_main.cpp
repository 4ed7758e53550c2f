// Fault-injection soak: the connected workflow (link, wideband reader, learning, session
// log) against the in-process simulator, with faults injected at random, for a set time.
//
//   soak [--seconds S] [--wire-timing on|off] [--seed N] [--faults on|off] [--log-dir DIR]
//        [--engine steady|realistic] [--mode alg2|precise]
//
// Prints records processed, faults by kind, reconnects, stop times and findings; exits 1
// on any finding, 3 on a hang.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "bench/soak/soak_connection.h"
#include "calibration/demo_image.h"
#include "common/text_forms.h"

namespace {

using namespace veltrano;
using namespace veltrano::soak;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

struct Settings {
    double seconds = 60;
    bool wireTiming = false;
    unsigned seed = 1;
    std::string logDir;
    bool faults = true;
    bool realistic = false;  // the realistic engine instead of steady points
    bool precise = false;    // the precise learning mode
};

bool Parse(int argc, char** argv, Settings& s) {
    for (int i = 1; i < argc; i += 2) {
        const std::string a = argv[i];
        if (i + 1 >= argc)
            return false;
        const std::string v = argv[i + 1];
        if (a == "--seconds") {
            s.seconds = std::atof(v.c_str());
        } else if (a == "--wire-timing" && (v == "on" || v == "off")) {
            s.wireTiming = v == "on";
        } else if (a == "--seed") {
            s.seed = static_cast<unsigned>(std::strtoul(v.c_str(), nullptr, 10));
        } else if (a == "--faults" && (v == "on" || v == "off")) {
            s.faults = v == "on";
        } else if (a == "--log-dir") {
            s.logDir = v;
        } else if (a == "--engine" && (v == "steady" || v == "realistic")) {
            s.realistic = v == "realistic";
        } else if (a == "--mode" && (v == "alg2" || v == "precise")) {
            s.precise = v == "precise";
        } else {
            return false;
        }
    }
    return s.seconds > 0;
}

// Sanitizers slow every step and keep freed memory in quarantine.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr int kSlowdown = 5;
constexpr bool kMemoryMeaningful = false;
#else
constexpr int kSlowdown = 1;
constexpr bool kMemoryMeaningful = true;
#endif

long ResidentKiB() {
    std::ifstream statm("/proc/self/statm");
    long size = 0, resident = 0;
    statm >> size >> resident;
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

struct MemoryWatch {
    long warm = 0;  // after warm-up
    long peak = 0;  // the highest after warm-up
    long start = 0;
};

void PrintSummary(const Settings& s, const SoakReport& r, const ProgramLearningState& st,
                  const MemoryWatch& m, double elapsed) {
    std::printf("soak: %.0f s, wire timing %s, seed %u, %s engine, %s learning\n", elapsed,
                s.wireTiming ? "on" : "off", s.seed, s.realistic ? "realistic" : "steady",
                s.precise ? "precise" : "Alg2");
    std::printf("records processed: %ld (log rows checked: %ld)\n", st.records, r.rowsChecked);
    std::printf("learning updates: %ld, table writes requested by learning: %ld\n", st.updates,
                st.writesRequested);
    std::printf("table writes checked: %ld (failed visibly: %ld)\n", r.writesChecked,
                r.writesFailedVisibly);
    std::printf("connections: %ld, failed connects: %ld, reconnects after link loss: %ld\n",
                r.connections, r.connectFailures, r.linkLosses);
    std::printf("faults injected:\n");
    for (const auto& [kind, n] : r.Faults())
        std::printf("  %-36s %ld\n", kind.c_str(), n);
    std::printf("longest stops:\n");
    for (const auto& [kind, ms] : r.StopTimes())
        std::printf("  %-36s %.0f ms\n", kind.c_str(), ms);
    std::printf("resident memory: start %ld KiB, after warm-up %ld KiB, peak after %ld KiB\n",
                m.start, m.warm, m.peak);
    const auto findings = r.Findings();
    std::printf("findings: %zu\n", findings.size());
    for (const auto& f : findings)
        std::printf("FINDING: %s\n", f.c_str());
}

}  // namespace

int main(int argc, char** argv) {
    Settings s;
    if (!Parse(argc, argv, s)) {
        std::fprintf(stderr,
                     "usage: soak [--seconds S] [--wire-timing on|off] [--seed N] [--faults "
                     "on|off] [--log-dir DIR]\n"
                     "            [--engine steady|realistic] [--mode alg2|precise]\n");
        return 2;
    }
    SetDecimalSeparator(',');
    std::mt19937 rng(s.seed);
    const std::filesystem::path dir =
        s.logDir.empty()
            ? std::filesystem::temp_directory_path() / ("veltrano-soak-" + std::to_string(getpid()))
            : std::filesystem::path(s.logDir);
    const std::filesystem::path logs = dir / "Logs";
    std::filesystem::remove_all(logs);
    std::filesystem::remove(dir / "Logs.held");
    std::filesystem::create_directories(logs);

    DemoImageOptions demo = DefaultDemoOptions();
    demo.dad = false;
    demo.dadUozAfr = false;
    const auto image = MakeDemoImage(demo);
    RecordedMessages messages;
    Calibration cal;
    if (!OpenCalibrationBytes(image, messages, cal, ',')) {
        std::fprintf(stderr, "soak: the demo image does not open\n");
        return 2;
    }
    SimRig sim(image, s.wireTiming, s.seed, s.realistic);
    std::string error;
    if (!sim.Start(&error)) {
        std::fprintf(stderr, "soak: the simulator does not start: %s\n", error.c_str());
        return 2;
    }

    std::mutex gridsMutex;
    LearningEngine engine(cal.grids, gridsMutex);
    engine.ImageOpened(LearningImageFrom(cal.firmware, cal.layout));
    LearningOptions options;
    options.source = LambdaSource::Shdk;
    options.requestDelay = s.wireTiming ? 50 : 10;
    options.mode = s.precise ? LearningMode::Precise : LearningMode::Alg2;
    engine.SetOptions(options);

    SoakReport report;
    Watchdog watchdog;
    LogOutage outage(logs);
    FaultInjector faults(sim, outage, report, s.seed);
    faults.Enable(s.faults);
    SoakEnv env{sim, cal, engine, logs, report, watchdog, rng, s.wireTiming};
    StopBounds bounds;
    if (s.wireTiming)
        bounds.link = 6000;
    bounds.learning *= kSlowdown;
    bounds.link *= kSlowdown;
    bounds.lambda *= kSlowdown;

    MemoryWatch memory;
    memory.start = ResidentKiB();
    const auto t0 = Clock::now();
    const auto end = t0 + std::chrono::milliseconds(static_cast<long>(s.seconds * 1000));
    const auto warmEnd =
        t0 + std::chrono::milliseconds(static_cast<long>(std::min(60.0, s.seconds * 0.25) * 1000));
    int index = 0;
    int failedInARow = 0;
    while (Clock::now() < end) {
        faults.ClearAll();
        const WriteTarget target = rng() % 2 ? WriteTarget::Olt : WriteTarget::RamPcn;
        SoakConnection c(env, ++index, target);
        if (!c.Connect()) {
            ++report.connectFailures;
            if (++failedInARow == 10)
                report.Finding("ten connects in a row failed with every fault ended");
            c.Disconnect(bounds);
            std::this_thread::sleep_for(200ms);
            continue;
        }
        ++report.connections;
        failedInARow = 0;
        const auto planned = Clock::now() + std::chrono::seconds(5 + rng() % 36);
        const bool kept = c.Run(std::min(planned, end), faults);
        faults.ClearAll();
        const bool settled = kept && c.Settle();
        if (!kept)
            ++report.linkLosses;
        c.CheckWrites(settled);
        c.Disconnect(bounds);
        c.CheckRows();
        const long rss = ResidentKiB();
        if (Clock::now() >= warmEnd) {
            if (memory.warm == 0)
                memory.warm = rss;
            memory.peak = std::max(memory.peak, rss);
        }
    }
    const double elapsed = std::chrono::duration<double>(Clock::now() - t0).count();
    constexpr long kGrowthBoundKiB = 16 * 1024;
    if (kMemoryMeaningful && memory.warm > 0 && memory.peak - memory.warm > kGrowthBoundKiB)
        report.Finding("resident memory grew by " + std::to_string(memory.peak - memory.warm) +
                       " KiB after warm-up");
    sim.Stop();
    PrintSummary(s, report, engine.State(), memory, elapsed);
    std::error_code ec;
    if (s.logDir.empty())
        std::filesystem::remove_all(dir, ec);
    const bool clean = report.Findings().empty();
    std::printf("soak: %s\n", clean ? "PASSED" : "FAILED");
    return clean ? 0 : 1;
}
