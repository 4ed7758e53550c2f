#include "bench/whole_tool_cpu.h"

#include <signal.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

namespace veltrano {
namespace {

namespace fs = std::filesystem;

pid_t Spawn(const std::vector<std::string>& args, int stdout_fd) {
    const pid_t pid = fork();
    if (pid != 0)
        return pid;
    if (stdout_fd >= 0)
        dup2(stdout_fd, STDOUT_FILENO);
    std::vector<char*> argv;
    for (const auto& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execv(argv[0], argv.data());
    _exit(127);
}

bool RunToEnd(const std::vector<std::string>& args, rusage* usage = nullptr) {
    const pid_t pid = Spawn(args, -1);
    int status = 0;
    rusage u{};
    if (pid < 0 || wait4(pid, &status, 0, &u) != pid)
        return false;
    if (usage)
        *usage = u;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

struct SimPorts {
    pid_t pid = -1;
    std::string ecu, lambda;
};

// veltrano-sim prints "ecu: PATH" and "lambda: PATH" once its ports are open.
SimPorts StartSim(const fs::path& sim) {
    int out[2];
    if (pipe(out) != 0)
        return {};
    SimPorts p;
    p.pid = Spawn({sim.string(), "--lambda", "lc1"}, out[1]);
    close(out[1]);
    FILE* f = fdopen(out[0], "r");
    char line[512];
    while ((p.ecu.empty() || p.lambda.empty()) && std::fgets(line, sizeof line, f)) {
        std::string s(line);
        while (!s.empty() && (s.back() == '\n' || s.back() == '\r'))
            s.pop_back();
        if (s.rfind("ecu: ", 0) == 0)
            p.ecu = s.substr(5);
        if (s.rfind("lambda: ", 0) == 0)
            p.lambda = s.substr(8);
    }
    std::fclose(f);
    return p;
}

constexpr int kSettleSeconds = 5;

// CPU time the process's threads have run so far, from the scheduler's nanosecond counts;
// -1 when the process is gone.
double RunSeconds(pid_t pid) {
    std::error_code ec;
    const fs::path tasks = fs::path("/proc") / std::to_string(pid) / "task";
    double total = 0;
    bool any = false;
    for (const auto& task : fs::directory_iterator(tasks, ec)) {
        std::ifstream stat(task.path() / "schedstat");
        unsigned long long run_ns = 0;
        if (stat >> run_ns) {
            total += static_cast<double>(run_ns) / 1e9;
            any = true;
        }
    }
    return any ? total : -1;
}

double Seconds(const timeval& t) {
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
}

}  // namespace

bool PrintWholeToolCpu(double seconds) {
    std::error_code ec;
    const fs::path dir = fs::read_symlink("/proc/self/exe", ec).parent_path();
    const fs::path cli = dir / "veltrano-cli", sim = dir / "veltrano-sim";
    char tmpl[] = "/tmp/link_rate.XXXXXX";
    if (!fs::exists(cli) || !fs::exists(sim) || !mkdtemp(tmpl)) {
        std::fprintf(stderr, "link_rate: no veltrano-cli and veltrano-sim beside this program\n");
        return false;
    }
    const fs::path work = tmpl;
    const std::string image = (work / "demo.bin").string();
    bool ok = RunToEnd({cli.string(), "demo-image", image});
    const SimPorts ports = ok ? StartSim(sim) : SimPorts{};
    ok = ok && !ports.ecu.empty() && !ports.lambda.empty();
    double cpu = 0, wall = 0, whole = 0;
    if (ok) {
        std::ofstream(work / "Settings.ini") << "[OBDII]\nBaudRate1nd=57600\nBaudRate2nd=10400\n"
                                             << "DelayRate=10\n";
        const auto run = static_cast<long>(seconds) + kSettleSeconds + 1;
        const pid_t pid =
            Spawn({cli.string(), "session", "--port", ports.ecu, "--image", image, "--lambda-port",
                   ports.lambda, "--lambda-type", "LC-1/2", "--learn", "--delay", "10", "--seconds",
                   std::to_string(run), "--log-dir", work.string(), "--settings",
                   (work / "Settings.ini").string()},
                  -1);
        // Connected and polling once the start-up and the connect sequence are over.
        std::this_thread::sleep_for(std::chrono::seconds(kSettleSeconds));
        const double cpu0 = RunSeconds(pid);
        const auto t0 = std::chrono::steady_clock::now();
        std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
        cpu = RunSeconds(pid) - cpu0;
        wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        int status = 0;
        rusage usage{};
        ok = pid > 0 && cpu >= 0 && wait4(pid, &status, 0, &usage) == pid && WIFEXITED(status) &&
             WEXITSTATUS(status) == 0;
        whole = Seconds(usage.ru_utime) + Seconds(usage.ru_stime);
    }
    if (ports.pid > 0) {
        kill(ports.pid, SIGTERM);
        waitpid(ports.pid, nullptr, 0);
    }
    fs::remove_all(work, ec);
    if (!ok) {
        std::fprintf(stderr, "link_rate: the connected session did not run\n");
        return false;
    }
    std::printf(
        "whole tool connected at 57600 baud, request pause 10 ms, wideband and learning on: "
        "%.3f s CPU in %.1f s = %.2f %% of one core (the whole run with start-up and connect: "
        "%.2f s CPU)\n",
        cpu, wall, cpu / wall * 100.0, whole);
    return true;
}

}  // namespace veltrano
