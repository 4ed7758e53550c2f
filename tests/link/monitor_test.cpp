// The monitor command: its options, and a run against the simulator.
#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <iostream>
#include <sstream>
#include <thread>

#include "link/live_record_json.h"
#include "link/monitor_command.h"
#include "link/monitor_options.h"
#include "sim/ecu_simulator.h"

namespace veltrano {
namespace {

TEST(MonitorOptions, Parsing) {
    struct Case {
        std::vector<std::string> args;
        bool ok;
        std::string error;
    } cases[] = {
        {{"--port", "/dev/ttyUSB0"}, true, ""},
        {{"--port", "/dev/x", "--baud", "38400", "--olt", "--records", "5", "--json"}, true, ""},
        {{}, false, "--port DEV is required"},
        {{"--port"}, false, "--port needs a value"},
        {{"--port", "p", "--baud", "9600"}, false, "--baud must be 10400, 38400 or 57600"},
        {{"--port", "p", "--records", "0"}, false, "--records must be a positive number"},
        {{"--port", "p", "--records", "x"}, false, "--records must be a positive number"},
        {{"--port", "p", "--speed"}, false, "unknown argument --speed"},
    };
    for (const auto& c : cases) {
        std::string error;
        const auto o = ParseMonitorOptions(c.args, error);
        EXPECT_EQ(o.has_value(), c.ok) << error;
        EXPECT_EQ(error, c.error);
    }
    std::string error;
    const auto o = ParseMonitorOptions(
        {"--port", "/dev/x", "--baud", "57600", "--olt", "--records", "5", "--json"}, error);
    ASSERT_TRUE(o);
    EXPECT_EQ(o->port, "/dev/x");
    EXPECT_EQ(o->baud, 57600);
    EXPECT_TRUE(o->olt);
    EXPECT_EQ(o->records, 5);
    EXPECT_TRUE(o->json);
}

TEST(MonitorJson, FieldsByTheirNames) {
    LiveRecord r;
    r.FsensorCrankshaftSpeed = 3000;
    r.FsensorAirFuelRatio = 14.7;
    r.flag_fuelOFF = 1;
    r.FLambda = true;
    const std::string j = LiveRecordJson(r);
    EXPECT_EQ(j.front(), '{');
    EXPECT_EQ(j.back(), '}');
    EXPECT_NE(j.find("\"FsensorCrankshaftSpeed\":3000,"), std::string::npos);
    EXPECT_NE(j.find("\"FsensorAirFuelRatio\":14.7,"), std::string::npos);
    EXPECT_NE(j.find("\"flag_fuelOFF\":1,"), std::string::npos);
    EXPECT_NE(j.find("\"FLambda\":true,"), std::string::npos);
    EXPECT_NE(j.find("\"InjDuty\":0,"), std::string::npos);
}

struct Captured {
    int status;
    std::string out;
    std::string err;
};

Captured RunMonitor(std::vector<std::string> args) {
    std::vector<char*> argv;
    for (auto& a : args)
        argv.push_back(a.data());
    std::ostringstream out, err;
    auto* old_out = std::cout.rdbuf(out.rdbuf());
    auto* old_err = std::cerr.rdbuf(err.rdbuf());
    const int status = RunMonitorCommand(static_cast<int>(argv.size()), argv.data());
    std::cout.rdbuf(old_out);
    std::cerr.rdbuf(old_err);
    return {status, out.str(), err.str()};
}

int Lines(const std::string& s) {
    return static_cast<int>(std::count(s.begin(), s.end(), '\n'));
}

TEST(MonitorCommand, PrintsTheRequestedRecords) {
    EcuSimOptions o;
    o.wireTiming = false;
    o.answerDelayMs = 1;
    EcuSimulator sim(o);
    ASSERT_TRUE(sim.Start());
    const Captured c = RunMonitor({"--port", sim.DevicePath(), "--baud", "38400", "--records", "3",
                                   "--json", "--delay", "5"});
    EXPECT_EQ(c.status, 0) << c.err;
    EXPECT_EQ(Lines(c.out), 3);
    EXPECT_EQ(c.out.rfind("{\"Fsensor_rpm_gbc_3d\":", 0), 0u);
    EXPECT_TRUE(c.err.empty()) << c.err;

    const Captured olt =
        RunMonitor({"--port", sim.DevicePath(), "--olt", "--records", "2", "--delay", "5"});
    EXPECT_EQ(olt.status, 0) << olt.err;
    EXPECT_EQ(Lines(olt.out), 2);
    EXPECT_NE(olt.out.find("block 0F"), std::string::npos);
}

TEST(MonitorCommand, MissingPortAndSilentEcuFail) {
    const Captured missing = RunMonitor({"--port", "/dev/veltrano-missing", "--records", "1"});
    EXPECT_NE(missing.status, 0);
    EXPECT_EQ(missing.err, "veltrano-cli monitor: Ошибка открытия порта /dev/veltrano-missing\n");
    EXPECT_TRUE(missing.out.empty());

    EcuSimOptions o;
    o.wireTiming = false;
    EcuSimulator sim(o);
    ASSERT_TRUE(sim.Start());
    EcuFaults f;
    f.dropAll = true;
    sim.SetFaults(f);
    const Captured silent = RunMonitor({"--port", sim.DevicePath(), "--records", "1"});
    EXPECT_NE(silent.status, 0);
    EXPECT_EQ(silent.err,
              "veltrano-cli monitor: no answer from the ECU on " + sim.DevicePath() + "\n");
    EXPECT_EQ(Lines(silent.err), 1);
}

// Without --records the monitor runs until interrupted; a lost link or a stop the ECU does not
// confirm is a failure with its reason.
TEST(MonitorCommand, EndWithoutRecordCount) {
    struct Case {
        const char* name;
        EcuFaults faults;
        bool interrupt;
        int status;
        std::string reason;
    } cases[] = {
        {"interrupted", {}, true, 0, ""},
        {"link lost", {.dropAll = true}, false, 1, "link lost after"},
        {"stop refused",
         {.negativeCode = 0x22, .onlyService = 0x20},
         true,
         1,
         "the ECU did not confirm the stop"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EcuSimOptions o;
        o.wireTiming = false;
        o.answerDelayMs = 1;
        EcuSimulator sim(o);
        ASSERT_TRUE(sim.Start());
        Captured run;
        std::thread monitor([&] {
            run = RunMonitor({"--port", sim.DevicePath(), "--delay", "5"});
        });
        // Three live data requests: the monitor polls, its interrupt handler is in place.
        auto liveRequests = [&] {
            int n = 0;
            for (const auto& f : sim.Requests())
                n += f.size() > 3 && f[3] == 0x21;
            return n;
        };
        for (int i = 0; i < 500 && liveRequests() < 3; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        EXPECT_GE(liveRequests(), 3);
        sim.SetFaults(c.faults);
        if (c.interrupt)
            std::raise(SIGINT);
        monitor.join();
        EXPECT_EQ(run.status, c.status) << run.err;
        EXPECT_GE(Lines(run.out), 3);
        if (c.reason.empty()) {
            EXPECT_TRUE(run.err.empty()) << run.err;
        } else {
            EXPECT_NE(run.err.find(c.reason), std::string::npos) << run.err;
        }
    }
}

}  // namespace
}  // namespace veltrano
