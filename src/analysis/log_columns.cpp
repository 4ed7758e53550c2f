#include "analysis/log_columns.h"

#include <string>

#include "analysis/analysis_texts.h"
#include "log/log_format.h"
#include "log/log_texts.h"

namespace veltrano {
namespace {

constexpr char M = 'm', I = 'i', S = 's', F = 'f';

// Group of every column, in header order.
constexpr std::string_view kGroups =
    "e"           // TIME (the time axis)
    "esmeeeeemm"  // 2..11: rpm-gbc point, ДТОЖ, AFR_ECM, TPS, RPM, RPM_XX, RXX x2, COEFF, phase
    "iiiiii"      // 12..17: UOZ, four corrections, knock ADC
    "ssssssee"    // 18..25: ADCs, speed, idle speed wanted
    "smmmmeemem"  // 26..35: ДТВ, ДК ADC, GTC x2, inj time, AIR, GBC, l/h, Pressure, duty
    "m"           // 36: AFR с шдк
    "fffffffffffffffff"  // 37..53: flags
    "eeemem"             // 54..59: RPM_RT, TRT_RT, RPM/TRT_RT, LC_COrrect, DAD_RT, PCN
    "ffe"                // 60..62: rewrite marks, RPM_RT_32
    "mmm"                // 63..65: injection angles, PCN_GEN_RT
    "mmmmm"              // 66..70: T1..T4, COEFF_B1S1
    "e";                 // 71: l/100 km
static_assert(kGroups.size() == kLogColumnCount);

ColumnGroup GroupOf(char g) {
    switch (g) {
        case M:
            return ColumnGroup::Mixture;
        case I:
            return ColumnGroup::Ignition;
        case S:
            return ColumnGroup::Sensors;
        case F:
            return ColumnGroup::Flags;
        default:
            return ColumnGroup::Engine;
    }
}

bool IntegerColumn(int c) {
    return c == logcol::Pressure || (c >= logcol::FlagEngineRun && c <= 52) ||
           (c >= logcol::RPM_RT && c <= 55) || c == logcol::DAD_RT || c == logcol::RamRewrite ||
           c == logcol::OltRewrite || c == logcol::RPM_RT_32 || c == 62 || c == 63;
}

std::array<LogColumnInfo, kLogColumnCount> Build() {
    static const std::string header = kLogHeader;
    const auto names = SplitFields(header);
    std::array<LogColumnInfo, kLogColumnCount> out{};
    for (int c = 0; c < kLogColumnCount; ++c)
        out[c] = {names.at(c), GroupOf(kGroups[c]), IntegerColumn(c)};
    return out;
}

}  // namespace

const std::array<LogColumnInfo, kLogColumnCount>& LogColumns() {
    static const auto columns = Build();
    return columns;
}

std::string_view GroupName(ColumnGroup group) {
    switch (group) {
        case ColumnGroup::Engine:
            return kGroupEngine;
        case ColumnGroup::Mixture:
            return kGroupMixture;
        case ColumnGroup::Ignition:
            return kGroupIgnition;
        case ColumnGroup::Sensors:
            return kGroupSensors;
        case ColumnGroup::Flags:
            return kGroupFlags;
    }
    return {};
}

}  // namespace veltrano
