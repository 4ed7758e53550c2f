// Live records per second over the link against the simulated ECU with wire timing on,
// compared with the wire-time limit of one record, and the link's CPU time per record, for
// the receive wait that sleeps until bytes arrive and for the old one that polls every 1 ms,
// side by side. Then the whole tool's CPU while connected at its fastest.
//
//   link_rate [--seconds S] [--delay MS] [--pauses 0,10,200] [--tool-seconds S]
//
// Limit of one record: the pause before the request, the request on the line (its echo is
// the same bytes on the single K-line wire), the ECU's answer delay and the answer.
// The simulator runs in a child process, so the CPU time measured is the link's own.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "bench/whole_tool_cpu.h"
#include "link/obdii.h"
#include "sim/ecu_simulator.h"

namespace {

using namespace veltrano;
using Clock = std::chrono::steady_clock;

struct Settings {
    double seconds = 5;
    int delay_ms = 25;  // the simulator's default answer delay
    std::vector<int> pauses = {0, 10, 200};
    double tool_seconds = 20;
};

constexpr int kRequestBytes = 6;  // 82 10 F1 21 01 A5
constexpr int kAnswerBytes = 43;  // block 0x01 answer

struct Sim {
    pid_t pid = -1;
    int keep_alive = -1;  // closing it ends the child
    std::string path;
};

// Starts the simulator in a child process and reads its device path.
Sim StartSim(int delay_ms) {
    int path_pipe[2], life_pipe[2];
    if (pipe(path_pipe) != 0 || pipe(life_pipe) != 0)
        return {};
    const pid_t pid = fork();
    if (pid == 0) {
        close(path_pipe[0]);
        close(life_pipe[1]);
        EcuSimOptions o;
        o.wireTiming = true;
        o.answerDelayMs = delay_ms;
        EcuSimulator sim(o);
        std::string error;
        const std::string path = sim.Start(&error) ? sim.DevicePath() : "";
        if (write(path_pipe[1], path.c_str(), path.size() + 1) < 0)
            _exit(1);
        close(path_pipe[1]);
        char c;
        while (read(life_pipe[0], &c, 1) > 0) {
        }
        sim.Stop();
        _exit(0);
    }
    close(path_pipe[1]);
    close(life_pipe[0]);
    Sim sim{pid, life_pipe[1], ""};
    char c;
    while (read(path_pipe[0], &c, 1) == 1 && c != '\0')
        sim.path += c;
    close(path_pipe[0]);
    return sim;
}

void EndSim(Sim& sim) {
    close(sim.keep_alive);
    waitpid(sim.pid, nullptr, 0);
}

double CpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_utime.tv_sec + u.ru_stime.tv_sec + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

double LimitPerSecond(int baud, int pause_ms, int delay_ms) {
    const double wire_ms = (kRequestBytes + kAnswerBytes) * 10 * 1000.0 / baud;
    return 1000.0 / (pause_ms + wire_ms + delay_ms);
}

struct Result {
    bool ok = false;
    double rate = 0;
    double cpu_us_per_record = 0;
};

Result Measure(int baud, int pause_ms, bool on_bytes, const Settings& s) {
    Sim sim = StartSim(s.delay_ms);
    if (sim.path.empty()) {
        std::fprintf(stderr, "link_rate: the simulator did not start\n");
        return {};
    }
    Result r;
    {
        LinkHooks hooks;
        hooks.receiveOnBytes = on_bytes;
        TOBDII link(sim.path, baud, 10400, pause_ms, false, false, 30, std::move(hooks));
        if (link.Running() && link.ConnectToECU()) {
            link.SleepTimeWrite = pause_ms;
            link.Flag = true;
            for (int i = 0; i < 2; ++i) {  // settle on the steady rhythm
                link.SetIsNew(false);
                link.WaitForNewRecord(std::chrono::seconds(5));
            }
            const std::uint64_t first = link.Live().sequence;
            const double cpu0 = CpuSeconds();
            const auto t0 = Clock::now();
            std::uint64_t last = first;
            while (std::chrono::duration<double>(Clock::now() - t0).count() < s.seconds) {
                link.SetIsNew(false);
                if (link.WaitForNewRecord(std::chrono::seconds(5)))
                    last = link.Live().sequence;
            }
            const double elapsed = std::chrono::duration<double>(Clock::now() - t0).count();
            const double cpu = CpuSeconds() - cpu0;
            const double records = static_cast<double>(last - first);
            r.rate = records / elapsed;
            r.cpu_us_per_record = records > 0 ? cpu / records * 1e6 : 0.0;
            r.ok = link.Stop() && records > 0;
        } else {
            std::fprintf(stderr, "link_rate: no connection at %d baud\n", baud);
        }
    }
    EndSim(sim);
    return r;
}

std::vector<int> NumberList(const std::string& text) {
    std::vector<int> out;
    std::stringstream list(text);
    std::string item;
    while (std::getline(list, item, ','))
        out.push_back(std::atoi(item.c_str()));
    return out;
}

bool Usage() {
    std::fprintf(stderr,
                 "usage: link_rate [--seconds S] [--delay MS] [--pauses 0,10,200] "
                 "[--tool-seconds S (0: skip)]\n");
    return false;
}

bool Parse(int argc, char** argv, Settings& s) {
    for (int i = 1; i < argc; i += 2) {
        const std::string a = argv[i];
        if (i + 1 >= argc)
            return Usage();
        const std::string v = argv[i + 1];
        if (a == "--seconds") {
            s.seconds = std::atof(v.c_str());
        } else if (a == "--delay") {
            s.delay_ms = std::atoi(v.c_str());
        } else if (a == "--pauses") {
            s.pauses = NumberList(v);
        } else if (a == "--tool-seconds") {
            s.tool_seconds = std::atof(v.c_str());
        } else {
            return Usage();
        }
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    Settings s;
    if (!Parse(argc, argv, s))
        return 2;
    std::printf("answer delay %d ms, %.0f s per run; cpu in us per record\n", s.delay_ms,
                s.seconds);
    std::printf("%6s %6s %8s | %8s %6s %7s | %8s %6s %7s | %9s\n", "baud", "pause", "limit/s",
                "poll r/s", "ratio", "cpu", "wait r/s", "ratio", "cpu", "cpu ratio");
    bool ok = true;
    for (int pause : s.pauses) {
        for (int baud : {10400, 38400, 57600}) {
            const double limit = LimitPerSecond(baud, pause, s.delay_ms);
            const Result old_wait = Measure(baud, pause, false, s);
            const Result new_wait = Measure(baud, pause, true, s);
            ok = ok && old_wait.ok && new_wait.ok;
            std::printf("%6d %6d %8.2f | %8.2f %6.3f %7.0f | %8.2f %6.3f %7.0f | %9.2f\n", baud,
                        pause, limit, old_wait.rate, old_wait.rate / limit,
                        old_wait.cpu_us_per_record, new_wait.rate, new_wait.rate / limit,
                        new_wait.cpu_us_per_record,
                        old_wait.cpu_us_per_record > 0
                            ? new_wait.cpu_us_per_record / old_wait.cpu_us_per_record
                            : 0.0);
            std::fflush(stdout);
        }
    }
    if (s.tool_seconds > 0)
        ok = PrintWholeToolCpu(s.tool_seconds) && ok;
    return ok ? 0 : 1;
}
