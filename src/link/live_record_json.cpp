#include "link/live_record_json.h"

#include <charconv>
#include <cmath>

namespace veltrano {
namespace {

void Key(std::string& out, const char* name) {
    out += out.size() > 1 ? ",\"" : "\"";
    out += name;
    out += "\":";
}

void Number(std::string& out, const char* name, double v) {
    Key(out, name);
    if (!std::isfinite(v)) {
        out += "null";
        return;
    }
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, v).ptr;
    out.append(text, end);
}

void Int(std::string& out, const char* name, long long v) {
    Key(out, name);
    out += std::to_string(v);
}

void Bool(std::string& out, const char* name, bool v) {
    Key(out, name);
    out += v ? "true" : "false";
}

}  // namespace

std::string LiveRecordJson(const LiveRecord& r) {
    std::string out = "{";
    Int(out, "Fsensor_rpm_gbc_3d", r.Fsensor_rpm_gbc_3d);
    Number(out, "FsensorCoolantTemp", r.FsensorCoolantTemp);
    Number(out, "FsensorAirFuelRatio", r.FsensorAirFuelRatio);
    Number(out, "FsensorRCO", r.FsensorRCO);
    Number(out, "FsensorThrottlePosition", r.FsensorThrottlePosition);
    Number(out, "FsensorCrankshaftSpeed", r.FsensorCrankshaftSpeed);
    Number(out, "FsensorCrankshaftIdleSpeed", r.FsensorCrankshaftIdleSpeed);
    Number(out, "FsensorTimeCicle", r.FsensorTimeCicle);
    Number(out, "FsensorIdleWantPosition", r.FsensorIdleWantPosition);
    Number(out, "FsensorIdleRealPosition", r.FsensorIdleRealPosition);
    Number(out, "FsensorFuelTimeCorrection", r.FsensorFuelTimeCorrection);
    Number(out, "FsensorFazaIngection", r.FsensorFazaIngection);
    Number(out, "FsensorSparkAngle", r.FsensorSparkAngle);
    Number(out, "FsensorSparkAngle_correct_1", r.FsensorSparkAngle_correct_1);
    Number(out, "FsensorSparkAngle_correct_2", r.FsensorSparkAngle_correct_2);
    Number(out, "FsensorSparkAngle_correct_3", r.FsensorSparkAngle_correct_3);
    Number(out, "FsensorSparkAngle_correct_4", r.FsensorSparkAngle_correct_4);
    Number(out, "FsensotKNOCkVoltage", r.FsensotKNOCkVoltage);
    Number(out, "FsensorDmrvVoltage", r.FsensorDmrvVoltage);
    Number(out, "FsensorVoltage", r.FsensorVoltage);
    Number(out, "FsensorRCOVoltage", r.FsensorRCOVoltage);
    Number(out, "FsensorTPSVoltage", r.FsensorTPSVoltage);
    Number(out, "FsensorTWATvoltage", r.FsensorTWATvoltage);
    Number(out, "FsensorTAIRvoltage", r.FsensorTAIRvoltage);
    Number(out, "FsensorLambdaVoltage", r.FsensorLambdaVoltage);
    Number(out, "FsensorCarSpeed", r.FsensorCarSpeed);
    Number(out, "FsensorCrankshaftIdleWantSpeed", r.FsensorCrankshaftIdleWantSpeed);
    Number(out, "FsensorTAIR", r.FsensorTAIR);
    Number(out, "FsensorLamMdaVoltage_2", r.FsensorLamMdaVoltage_2);
    Number(out, "FsensorCoeffCorrGTC_HI", r.FsensorCoeffCorrGTC_HI);
    Number(out, "FsensorCoeffCorrGTC_LO", r.FsensorCoeffCorrGTC_LO);
    Number(out, "FsensorFuelTimeLength", r.FsensorFuelTimeLength);
    Number(out, "FsensorAirWeightRate", r.FsensorAirWeightRate);
    Number(out, "FsensorAirCycleRate", r.FsensorAirCycleRate);
    Number(out, "FsensorFuelTimeRate", r.FsensorFuelTimeRate);
    Number(out, "FsensorFuelWayRate", r.FsensorFuelWayRate);
    Int(out, "FsensorPressure", r.FsensorPressure);
    Number(out, "InjDuty", r.InjDuty);
    Number(out, "FsensorFlagLambdaStatus", r.FsensorFlagLambdaStatus);
    Int(out, "FsensorRamCoeffCorr", r.FsensorRamCoeffCorr);
    Int(out, "COEFFCORR_OLT", r.COEFFCORR_OLT);
    Int(out, "flag_endine_run", r.flag_endine_run);
    Int(out, "flag_XX", r.flag_XX);
    Int(out, "flag_pow", r.flag_pow);
    Int(out, "flag_fuelOFF", r.flag_fuelOFF);
    Int(out, "flag_zone_O2", r.flag_zone_O2);
    Int(out, "flag_zona_knock", r.flag_zona_knock);
    Int(out, "flag_produv_adsorber", r.flag_produv_adsorber);
    Int(out, "flag_save_O2", r.flag_save_O2);
    Int(out, "flAG_xx_old", r.flAG_xx_old);
    Int(out, "flag_block_exit_xx", r.flag_block_exit_xx);
    Int(out, "flag_zona_knock_old", r.flag_zona_knock_old);
    Int(out, "flag_produv_adsorb_old", r.flag_produv_adsorb_old);
    Int(out, "flag_knock", r.flag_knock);
    Int(out, "flag_O2_old", r.flag_O2_old);
    Int(out, "flag_o2_new", r.flag_o2_new);
    Int(out, "flag_O2_gotov", r.flag_O2_gotov);
    Int(out, "flag_O2_heater", r.flag_O2_heater);
    Int(out, "FlagXX", r.FlagXX);
    Bool(out, "FzoneDK", r.FzoneDK);
    Number(out, "FLam", r.FLam);
    Int(out, "FlamOld", r.FlamOld);
    Int(out, "Flam_Log", r.Flam_Log);
    Bool(out, "FLambda", r.FLambda);
    Bool(out, "FAdsorber", r.FAdsorber);
    Bool(out, "FEGRValve", r.FEGRValve);
    Bool(out, "FDetonationSensor", r.FDetonationSensor);
    Bool(out, "FIntakeTempSensor", r.FIntakeTempSensor);
    Bool(out, "FCamshaftPositionSensor", r.FCamshaftPositionSensor);
    Bool(out, "FFuelCutOFF", r.FFuelCutOFF);
    Bool(out, "FIdleWorkAdaptation", r.FIdleWorkAdaptation);
    Bool(out, "FCOAdaptation", r.FCOAdaptation);
    Bool(out, "FThrottleZeroAdaptation", r.FThrottleZeroAdaptation);
    Bool(out, "FNotSyncInjectionAtStart", r.FNotSyncInjectionAtStart);
    Bool(out, "FSaveErrors", r.FSaveErrors);
    Bool(out, "FSpeedSensor", r.FSpeedSensor);
    Bool(out, "FOnePointInjection", r.FOnePointInjection);
    Bool(out, "FNotSyncInjectionAtWork", r.FNotSyncInjectionAtWork);
    Int(out, "block", r.block);
    Int(out, "sequence", r.sequence);
    out += "}";
    return out;
}

}  // namespace veltrano
