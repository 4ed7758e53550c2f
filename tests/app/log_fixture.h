// Small session logs for the log windows' tests, written by the tool's own log writer.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "log/log_row.h"
#include "log/session_log.h"

namespace veltrano {

struct LogFixtureRow {
    double seconds = 0;  // time of day
    double rpm = 0;
    double tps = 0;
    double coolant = 90;
    double targetAfr = 14.7;
    double widebandAfr = 14.7;
    int rpmRt = 0;  // cell columns of the log
    int trtRt = 0;
    int dadRt = 0;
    int ramRewrite = 0;
    int fuelOff = 0;
};

// Writes `rows` as `<dir>/<stamp>.csv` and returns the path.
inline std::filesystem::path WriteFixtureLog(const std::filesystem::path& dir,
                                             const std::string& stamp,
                                             const std::vector<LogFixtureRow>& rows) {
    std::filesystem::create_directories(dir);
    SessionLog log(dir, stamp);
    for (const LogFixtureRow& r : rows) {
        const long ms = long(r.seconds * 1000 + 0.5);
        LogTime t{int(ms / 3600000), int(ms / 60000 % 60), int(ms / 1000 % 60), int(ms % 1000)};
        LiveRecord live;
        live.FsensorCrankshaftSpeed = r.rpm;
        live.FsensorThrottlePosition = r.tps;
        live.FsensorCoolantTemp = r.coolant;
        live.FsensorAirFuelRatio = r.targetAfr;
        live.flag_fuelOFF = r.fuelOff;
        CycleLogValues cycle;
        cycle.RPM_RT = r.rpmRt;
        cycle.TRT_RT = r.trtRt;
        cycle.DAD_RT = r.dadRt;
        cycle.RamRewriteMark = r.ramRewrite;
        log.SaveLog(BuildLogRow(t, live, r.widebandAfr, cycle));
    }
    return log.Path();
}

}  // namespace veltrano
