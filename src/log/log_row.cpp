#include "log/log_row.h"

#include <vector>

namespace veltrano {

std::string BuildLogRow(const LogTime& time, const LiveRecord& l, double lambdaAfr,
                        const CycleLogValues& c) {
    std::vector<std::string> f;
    f.reserve(71);
    auto real = [&f](double v) { f.push_back(RealField(v)); };
    auto integer = [&f](long long v) { f.push_back(IntegerField(v)); };

    f.push_back(TimeField(time));
    for (double v : {static_cast<double>(l.Fsensor_rpm_gbc_3d),
                     l.FsensorCoolantTemp,
                     l.FsensorAirFuelRatio,
                     l.FsensorThrottlePosition,
                     l.FsensorCrankshaftSpeed,
                     l.FsensorCrankshaftIdleSpeed,
                     l.FsensorIdleWantPosition,
                     l.FsensorIdleRealPosition,
                     l.FsensorFuelTimeCorrection,
                     l.FsensorFazaIngection,
                     l.FsensorSparkAngle,
                     l.FsensorSparkAngle_correct_1,
                     l.FsensorSparkAngle_correct_2,
                     l.FsensorSparkAngle_correct_3,
                     l.FsensorSparkAngle_correct_4,
                     l.FsensotKNOCkVoltage,
                     l.FsensorDmrvVoltage,
                     l.FsensorVoltage,
                     l.FsensorTPSVoltage,
                     l.FsensorTWATvoltage,
                     l.FsensorTAIRvoltage,
                     l.FsensorLambdaVoltage,
                     l.FsensorCarSpeed,
                     l.FsensorCrankshaftIdleWantSpeed,
                     l.FsensorTAIR,
                     l.FsensorLamMdaVoltage_2,
                     l.FsensorCoeffCorrGTC_HI,
                     l.FsensorCoeffCorrGTC_LO,
                     l.FsensorFuelTimeLength,
                     l.FsensorAirWeightRate,
                     l.FsensorAirCycleRate,
                     l.FsensorFuelTimeRate}) {
        real(v);
    }
    integer(l.FsensorPressure);
    real(l.InjDuty);
    real(lambdaAfr);
    for (int v : {l.flag_endine_run, l.flag_XX, l.flag_pow, l.flag_fuelOFF, l.flag_zone_O2,
                  l.flag_zona_knock, l.flag_produv_adsorber, l.flag_save_O2, l.flAG_xx_old,
                  l.flag_block_exit_xx, l.flag_zona_knock_old, l.flag_produv_adsorb_old,
                  l.flag_knock, l.flag_O2_old, l.flag_o2_new, l.flag_O2_gotov, l.flag_O2_heater}) {
        integer(v);
    }
    integer(c.RPM_RT);
    integer(c.TRT_RT);
    integer(c.RPM_TRT_RT);
    real(c.LC_COrrect);
    integer(c.DAD_RT);
    real(c.PCN_FIRM);
    integer(c.RamRewriteMark);
    integer(c.OltRewriteMark);
    integer(c.RPM_RT_32);
    integer(c.view.FazaGenInjTime);
    integer(c.view.FazaUozInjTime);
    real(c.PCN_GEN_RT);
    for (double v : {c.T1, c.T2, c.T3, c.T4, c.COEFF_B1S1, c.view.TripFuelRate})
        real(v);
    return JoinFields(f);
}

}  // namespace veltrano
