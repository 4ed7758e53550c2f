// The Live data record: the values, status flags and equipment flags the ECU reports in its
// live data blocks 0x01 and 0x0F. The link decodes a block into a copy of the last record
// and publishes the copy whole; readers always get a consistent record.
#pragma once

#include <cstdint>

namespace veltrano {

struct LiveRecord {
    // Engine and sensor values.
    int Fsensor_rpm_gbc_3d = 0;
    double FsensorCoolantTemp = 0.0;
    double FsensorAirFuelRatio = 0.0;  // the ECU's target AFR
    double FsensorRCO = 0.0;
    double FsensorThrottlePosition = 0.0;
    double FsensorCrankshaftSpeed = 0.0;
    double FsensorCrankshaftIdleSpeed = 0.0;
    double FsensorTimeCicle = 0.0;
    double FsensorIdleWantPosition = 0.0;
    double FsensorIdleRealPosition = 0.0;
    double FsensorFuelTimeCorrection = 0.0;
    double FsensorFazaIngection = 0.0;
    double FsensorSparkAngle = 0.0;
    double FsensorSparkAngle_correct_1 = 0.0;
    double FsensorSparkAngle_correct_2 = 0.0;
    double FsensorSparkAngle_correct_3 = 0.0;
    double FsensorSparkAngle_correct_4 = 0.0;
    double FsensotKNOCkVoltage = 0.0;
    double FsensorDmrvVoltage = 0.0;
    double FsensorVoltage = 0.0;
    double FsensorRCOVoltage = 0.0;
    double FsensorTPSVoltage = 0.0;
    double FsensorTWATvoltage = 0.0;
    double FsensorTAIRvoltage = 0.0;
    double FsensorLambdaVoltage = 0.0;
    double FsensorCarSpeed = 0.0;
    double FsensorCrankshaftIdleWantSpeed = 0.0;
    double FsensorTAIR = 0.0;
    double FsensorLamMdaVoltage_2 = 0.0;
    double FsensorCoeffCorrGTC_HI = 0.0;
    double FsensorCoeffCorrGTC_LO = 0.0;
    double FsensorFuelTimeLength = 0.0;
    double FsensorAirWeightRate = 0.0;
    double FsensorAirCycleRate = 0.0;
    double FsensorFuelTimeRate = 0.0;
    double FsensorFuelWayRate = 0.0;
    int FsensorPressure = 0;
    double InjDuty = 0.0;
    double FsensorFlagLambdaStatus = 0.0;
    std::uint8_t FsensorRamCoeffCorr = 0;
    // The same scaled coefficient as the link's OLT_TAB.COEFFCORR_OLT.
    std::int32_t COEFFCORR_OLT = 0;

    // Engine status flags, 0 or 1.
    int flag_endine_run = 0;
    int flag_XX = 0;
    int flag_pow = 0;
    int flag_fuelOFF = 0;
    int flag_zone_O2 = 0;
    int flag_zona_knock = 0;
    int flag_produv_adsorber = 0;
    int flag_save_O2 = 0;
    int flAG_xx_old = 0;
    int flag_block_exit_xx = 0;
    int flag_zona_knock_old = 0;
    int flag_produv_adsorb_old = 0;
    int flag_knock = 0;
    int flag_O2_old = 0;
    int flag_o2_new = 0;
    int flag_O2_gotov = 0;
    int flag_O2_heater = 0;

    // Further indicators.
    int FlagXX = 0;
    bool FzoneDK = false;
    double FLam = 0.0;
    int FlamOld = 0;
    int Flam_Log = 0;

    // ECU equipment (block 0x01 only).
    bool FLambda = false;
    bool FAdsorber = false;
    bool FEGRValve = false;
    bool FDetonationSensor = false;
    bool FIntakeTempSensor = false;
    bool FCamshaftPositionSensor = false;
    bool FFuelCutOFF = false;
    bool FIdleWorkAdaptation = false;
    bool FCOAdaptation = false;
    bool FThrottleZeroAdaptation = false;
    bool FNotSyncInjectionAtStart = false;
    bool FSaveErrors = false;
    bool FSpeedSensor = false;
    bool FOnePointInjection = false;
    bool FNotSyncInjectionAtWork = false;

    // The equipment flags by their property names.
    bool Lambda() const { return FLambda; }
    bool Adsorber() const { return FAdsorber; }
    bool EGRValve() const { return FEGRValve; }
    bool DetonationSensor() const { return FDetonationSensor; }
    bool IntakeTempSensor() const { return FIntakeTempSensor; }
    bool CamshaftPositionSensor() const { return FCamshaftPositionSensor; }
    bool FuelCutOFF() const { return FFuelCutOFF; }
    bool IdleWorkAdaptation() const { return FIdleWorkAdaptation; }
    bool COAdaptation() const { return FCOAdaptation; }
    bool ThrottleZeroAdaptation() const { return FThrottleZeroAdaptation; }
    bool NotSyncInjectionAtStart() const { return FNotSyncInjectionAtStart; }
    bool SaveErrors() const { return FSaveErrors; }
    bool SpeedSensor() const { return FSpeedSensor; }
    bool OnePointInjection() const { return FOnePointInjection; }
    bool NotSyncInjectionAtWork() const { return FNotSyncInjectionAtWork; }

    // Which block filled the record last (0x01 or 0x0F; 0 before the first).
    std::uint8_t block = 0;
    // Counts published records of this link, from 1.
    std::uint64_t sequence = 0;
};

}  // namespace veltrano
