// One row of the session log, built from the live record and the learning cycle's values.
#pragma once

#include <string>

#include "link/live_record.h"
#include "log/live_values.h"
#include "log/log_format.h"

namespace veltrano {

// The learning cycle's values the log shows (columns 54 to 71).
struct CycleLogValues {
    int RPM_RT = 0;
    int TRT_RT = 0;
    int RPM_TRT_RT = 0;  // nothing maintains it
    double LC_COrrect = 0;
    int DAD_RT = 0;
    double PCN_FIRM = 0;
    int RamRewriteMark = 0;
    int OltRewriteMark = 0;
    int RPM_RT_32 = 0;
    double PCN_GEN_RT = 0;  // nothing maintains it
    double T1 = 0;
    double T2 = 0;
    double T3 = 0;
    double T4 = 0;
    double COEFF_B1S1 = 0;
    LiveViewValues view;
};

// The 71 fields joined by ","; `lambdaAfr` is the wideband reader's last AFR (0 without one).
std::string BuildLogRow(const LogTime& time, const LiveRecord& live, double lambdaAfr,
                        const CycleLogValues& cycle);

}  // namespace veltrano
