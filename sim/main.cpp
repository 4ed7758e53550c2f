// veltrano-sim: the car on two pseudo-terminals, for the tool, its tests and its demo.
#include <signal.h>

#include <cstdio>
#include <iostream>
#include <memory>
#include <string>

#include "common/build_info.h"
#include "sim/sim_command_line.h"

using namespace veltrano;

namespace {

int Fail(const std::string& message) {
    std::cerr << "veltrano-sim: " << message << "\n";
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::string(argv[i]) == "--version") {
            std::cout << VersionLine("veltrano-sim") << "\n";
            return 0;
        }
    }
    SimCommandLine options;
    std::string error;
    if (!ParseSimCommandLine({argv + 1, argv + argc}, options, error)) {
        return Fail(error + "\n" + SimUsage());
    }
    if (options.help) {
        std::cout << SimUsage();
        return 0;
    }
    // The threads inherit the blocked signals; the main thread takes them with sigwait.
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    sigaddset(&signals, SIGHUP);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);

    EcuSimulator ecu(options.ecu);
    ecu.SetFaults(options.faults);
    if (!ecu.Start(&error)) {
        return Fail("cannot open the ECU pseudo-terminal: " + error);
    }
    std::unique_ptr<LambdaSimulator> lambda;
    if (options.lambda) {
        LambdaSimOptions lo;
        lo.kind = *options.lambda;
        lo.wireTiming = options.ecu.wireTiming;
        lo.seed = options.ecu.seed;
        lo.afrSource = [&ecu] { return ecu.MeasuredAfr(); };
        lambda = std::make_unique<LambdaSimulator>(lo);
        lambda->SetFaults(options.lambdaFaults);
        lambda->SetFixedAfr(options.lambdaAfr);
        if (!lambda->Start(&error)) {
            return Fail("cannot open the lambda pseudo-terminal: " + error);
        }
    }
    std::cout << "ecu: " << ecu.DevicePath() << "\n";
    if (lambda) {
        std::cout << "lambda: " << lambda->DevicePath() << "\n";
    }
    std::cout.flush();

    int received = 0;
    sigwait(&signals, &received);
    if (lambda) {
        lambda->Stop();
    }
    ecu.Stop();
    if (!options.dumpPath.empty() && !ecu.DumpMemory(options.dumpPath, &error)) {
        return Fail(error);
    }
    return 0;
}
