// Live records per second over the link against the simulated ECU with wire timing on,
// compared with the wire-time limit of one record, and the link's CPU time per record.
//
//   link_rate [--seconds S] [--pause MS] [--delay MS]
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
#include <string>

#include "link/obdii.h"
#include "sim/ecu_simulator.h"

namespace {

using namespace veltrano;
using Clock = std::chrono::steady_clock;

struct Settings {
    double seconds = 10;
    int pause_ms = 200;  // the settings' default request interval
    int delay_ms = 25;   // the simulator's default answer delay
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

double LimitPerSecond(int baud, const Settings& s) {
    const double wire_ms = (kRequestBytes + kAnswerBytes) * 10 * 1000.0 / baud;
    return 1000.0 / (s.pause_ms + wire_ms + s.delay_ms);
}

bool Measure(int baud, const Settings& s) {
    Sim sim = StartSim(s.delay_ms);
    if (sim.path.empty()) {
        std::fprintf(stderr, "link_rate: the simulator did not start\n");
        return false;
    }
    bool ok = false;
    {
        TOBDII link(sim.path, baud, 10400, s.pause_ms, false, false, 30);
        if (link.Running() && link.ConnectToECU()) {
            link.SleepTimeWrite = s.pause_ms;
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
            const double rate = records / elapsed;
            const double limit = LimitPerSecond(baud, s);
            std::printf("%6d %6d %6d %8.0f %9.3f %9.3f %7.3f %10.1f\n", baud, s.pause_ms,
                        s.delay_ms, records, rate, limit, rate / limit,
                        records > 0 ? cpu / records * 1e6 : 0.0);
            ok = link.Stop() && records > 0;
        } else {
            std::fprintf(stderr, "link_rate: no connection at %d baud\n", baud);
        }
    }
    EndSim(sim);
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    Settings s;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string a = argv[i];
        if (a == "--seconds") {
            s.seconds = std::atof(argv[i + 1]);
        } else if (a == "--pause") {
            s.pause_ms = std::atoi(argv[i + 1]);
        } else if (a == "--delay") {
            s.delay_ms = std::atoi(argv[i + 1]);
        } else {
            std::fprintf(stderr, "usage: link_rate [--seconds S] [--pause MS] [--delay MS]\n");
            return 2;
        }
    }
    std::printf("%6s %6s %6s %8s %9s %9s %7s %10s\n", "baud", "pause", "delay", "records", "rate/s",
                "limit/s", "ratio", "cpu us/rec");
    bool ok = true;
    for (int baud : {10400, 38400, 57600})
        ok = Measure(baud, s) && ok;
    return ok ? 0 : 1;
}
