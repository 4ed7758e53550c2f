#include "analysis/log_record.h"

#include <charconv>
#include <cmath>

namespace veltrano {
namespace {

// The decimal the log wrote, as far as single precision kept it: 14.7 comes back as the
// double 14.7, not as 14.69999980926513671875.
double Decimal(float v) {
    if (v == std::trunc(v))
        return v;
    char buf[32];
    const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v);
    double d = v;
    if (ec == std::errc())
        std::from_chars(buf, end, d);
    return d;
}

}  // namespace

LiveRecord RecordOfRow(const LogTable& t, std::size_t row) {
    int c = 1;
    auto real = [&]() { return Decimal(t.Column(c++)[row]); };
    auto integer = [&]() { return static_cast<int>(std::lround(t.Column(c++)[row])); };
    LiveRecord l;
    // Columns 2 to 53, in the order the log writes them.
    l.Fsensor_rpm_gbc_3d = integer();
    for (double* field : {&l.FsensorCoolantTemp,
                          &l.FsensorAirFuelRatio,
                          &l.FsensorThrottlePosition,
                          &l.FsensorCrankshaftSpeed,
                          &l.FsensorCrankshaftIdleSpeed,
                          &l.FsensorIdleWantPosition,
                          &l.FsensorIdleRealPosition,
                          &l.FsensorFuelTimeCorrection,
                          &l.FsensorFazaIngection,
                          &l.FsensorSparkAngle,
                          &l.FsensorSparkAngle_correct_1,
                          &l.FsensorSparkAngle_correct_2,
                          &l.FsensorSparkAngle_correct_3,
                          &l.FsensorSparkAngle_correct_4,
                          &l.FsensotKNOCkVoltage,
                          &l.FsensorDmrvVoltage,
                          &l.FsensorVoltage,
                          &l.FsensorTPSVoltage,
                          &l.FsensorTWATvoltage,
                          &l.FsensorTAIRvoltage,
                          &l.FsensorLambdaVoltage,
                          &l.FsensorCarSpeed,
                          &l.FsensorCrankshaftIdleWantSpeed,
                          &l.FsensorTAIR,
                          &l.FsensorLamMdaVoltage_2,
                          &l.FsensorCoeffCorrGTC_HI,
                          &l.FsensorCoeffCorrGTC_LO,
                          &l.FsensorFuelTimeLength,
                          &l.FsensorAirWeightRate,
                          &l.FsensorAirCycleRate,
                          &l.FsensorFuelTimeRate}) {
        *field = real();
    }
    l.FsensorPressure = integer();
    l.InjDuty = real();
    ++c;  // AFR с шдк: the wideband reader's, not the ECU's
    for (int* flag :
         {&l.flag_endine_run, &l.flag_XX, &l.flag_pow, &l.flag_fuelOFF, &l.flag_zone_O2,
          &l.flag_zona_knock, &l.flag_produv_adsorber, &l.flag_save_O2, &l.flAG_xx_old,
          &l.flag_block_exit_xx, &l.flag_zona_knock_old, &l.flag_produv_adsorb_old, &l.flag_knock,
          &l.flag_O2_old, &l.flag_o2_new, &l.flag_O2_gotov, &l.flag_O2_heater}) {
        *flag = integer();
    }
    l.sequence = row + 1;
    return l;
}

double LoggedValue(const LogTable& table, std::size_t row, int column) {
    return Decimal(table.Column(column)[row]);
}

}  // namespace veltrano
