// The CSV row builder on extreme values: infinities, NaN, huge, tiny and negative numbers
// in every field, and the live view values computed from them.
#include <cmath>
#include <limits>
#include <string>

#include "fuzz_input.h"
#include "fuzz_targets.h"
#include "log/log_row.h"

namespace veltrano::fuzz {
namespace {

using D = std::numeric_limits<double>;
using I = std::numeric_limits<int>;

// A byte below 24 picks one of the extremes; any other takes a raw double from the input.
double Real(FuzzInput& in) {
    static constexpr double kExtremes[] = {0.0,
                                           -0.0,
                                           D::infinity(),
                                           -D::infinity(),
                                           D::quiet_NaN(),
                                           -D::quiet_NaN(),
                                           D::max(),
                                           D::lowest(),
                                           D::min(),
                                           D::denorm_min(),
                                           -D::denorm_min(),
                                           1e15,
                                           -1e15,
                                           1e16,
                                           0.005,
                                           -0.005,
                                           0.015,
                                           2.5,
                                           -2.5,
                                           9.9999999999999e14,
                                           123456789.125,
                                           1e-300,
                                           4294967296.0,
                                           -9223372036854775808.0};
    const std::uint8_t b = in.Byte();
    return b < std::size(kExtremes) ? kExtremes[b] : in.Raw<double>();
}

int Integer(FuzzInput& in) {
    static constexpr int kExtremes[] = {0, -1, 1, I::min(), I::max(), I::min() + 1, 100000};
    const std::uint8_t b = in.Byte();
    return b < std::size(kExtremes) ? kExtremes[b] : in.Raw<int>();
}

constexpr double LiveRecord::*kReals[] = {
    &LiveRecord::FsensorCoolantTemp,
    &LiveRecord::FsensorAirFuelRatio,
    &LiveRecord::FsensorThrottlePosition,
    &LiveRecord::FsensorCrankshaftSpeed,
    &LiveRecord::FsensorCrankshaftIdleSpeed,
    &LiveRecord::FsensorIdleWantPosition,
    &LiveRecord::FsensorIdleRealPosition,
    &LiveRecord::FsensorFuelTimeCorrection,
    &LiveRecord::FsensorFazaIngection,
    &LiveRecord::FsensorSparkAngle,
    &LiveRecord::FsensorSparkAngle_correct_1,
    &LiveRecord::FsensorSparkAngle_correct_2,
    &LiveRecord::FsensorSparkAngle_correct_3,
    &LiveRecord::FsensorSparkAngle_correct_4,
    &LiveRecord::FsensotKNOCkVoltage,
    &LiveRecord::FsensorDmrvVoltage,
    &LiveRecord::FsensorVoltage,
    &LiveRecord::FsensorTPSVoltage,
    &LiveRecord::FsensorTWATvoltage,
    &LiveRecord::FsensorTAIRvoltage,
    &LiveRecord::FsensorLambdaVoltage,
    &LiveRecord::FsensorCarSpeed,
    &LiveRecord::FsensorCrankshaftIdleWantSpeed,
    &LiveRecord::FsensorTAIR,
    &LiveRecord::FsensorLamMdaVoltage_2,
    &LiveRecord::FsensorCoeffCorrGTC_HI,
    &LiveRecord::FsensorCoeffCorrGTC_LO,
    &LiveRecord::FsensorFuelTimeLength,
    &LiveRecord::FsensorAirWeightRate,
    &LiveRecord::FsensorAirCycleRate,
    &LiveRecord::FsensorFuelTimeRate,
    &LiveRecord::InjDuty,
};

constexpr int LiveRecord::*kIntegers[] = {
    &LiveRecord::Fsensor_rpm_gbc_3d,
    &LiveRecord::FsensorPressure,
    &LiveRecord::flag_endine_run,
    &LiveRecord::flag_XX,
    &LiveRecord::flag_pow,
    &LiveRecord::flag_fuelOFF,
    &LiveRecord::flag_zone_O2,
    &LiveRecord::flag_zona_knock,
    &LiveRecord::flag_produv_adsorber,
    &LiveRecord::flag_save_O2,
    &LiveRecord::flAG_xx_old,
    &LiveRecord::flag_block_exit_xx,
    &LiveRecord::flag_zona_knock_old,
    &LiveRecord::flag_produv_adsorb_old,
    &LiveRecord::flag_knock,
    &LiveRecord::flag_O2_old,
    &LiveRecord::flag_o2_new,
    &LiveRecord::flag_O2_gotov,
    &LiveRecord::flag_O2_heater,
};

void CheckRow(const std::string& row) {
    Check(SplitFields(row).size() == 71, "71 fields");
    Check(row.find_first_of("\r\n\"") == std::string::npos, "one plain line");
    for (const auto field : SplitFields(row))
        Check(!field.empty(), "no empty field");
}

}  // namespace

int LogRow(Bytes data) {
    FuzzInput in(data);
    LogTime time{Integer(in), Integer(in), Integer(in), Integer(in)};
    LiveRecord live;
    for (auto field : kReals)
        live.*field = Real(in);
    for (auto field : kIntegers)
        live.*field = Integer(in);
    const double lambda = Real(in);
    CycleLogValues c;
    for (double* v :
         {&c.LC_COrrect, &c.PCN_FIRM, &c.PCN_GEN_RT, &c.T1, &c.T2, &c.T3, &c.T4, &c.COEFF_B1S1})
        *v = Real(in);
    for (int* v : {&c.RPM_RT, &c.TRT_RT, &c.RPM_TRT_RT, &c.DAD_RT, &c.RamRewriteMark,
                   &c.OltRewriteMark, &c.RPM_RT_32})
        *v = Integer(in);
    UpdateLiveViewValues(c.view, live.FsensorCarSpeed, live.FsensorFuelTimeRate,
                         live.FsensorCrankshaftSpeed, live.FsensorFuelTimeLength);
    Check(c.view.FazaGenInjTime == 0 ||
              (c.view.FazaGenInjTime >= 180 && c.view.FazaGenInjTime <= 700),
          "injection phase limited");
    CheckRow(BuildLogRow(time, live, lambda, c));
    return 0;
}

}  // namespace veltrano::fuzz
