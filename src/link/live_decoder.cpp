#include "link/live_decoder.h"

#include <algorithm>
#include <cmath>

#include "common/text_forms.h"

namespace veltrano {
namespace {

int Bit(std::uint8_t byte, int bit) {
    return (byte >> bit) & 1;
}
double Word(std::span<const std::uint8_t> D, std::size_t a) {
    return D[a] + 256.0 * D[a + 1];
}
double Signed(std::uint8_t b) {
    return b < 128 ? b / 2.0 : -(256 - b) / 2.0;
}
double Volts(std::uint8_t b) {
    return b * 5.0 / 256;
}
// Factors with a decimal point are applied in extended precision.
double Afr(std::uint8_t b) {
    return static_cast<double>((b + 128) * 14.7L / 256);
}
double Lambda(std::uint8_t b) {
    return static_cast<double>(b / 256.0L * 1.25L);
}
// Half to even; a value that is not a number or beyond the integer range gives 0 or the bound.
long long RoundEven(long double v) {
    if (std::isnan(v))
        return 0;
    constexpr long double kBound = 2147483647.0L;
    return static_cast<long long>(std::nearbyint(std::clamp(v, -kBound, kBound)));
}

void EngineFlags(std::uint8_t b, LiveRecord& r) {
    r.flag_endine_run = Bit(b, 0) ? 0 : 1;
    r.flag_XX = Bit(b, 1);
    r.flag_pow = Bit(b, 2);
    r.flag_fuelOFF = Bit(b, 3);
    r.flag_zone_O2 = Bit(b, 4);
    r.FzoneDK = Bit(b, 4) != 0;
    r.flag_zona_knock = Bit(b, 5);
    r.flag_produv_adsorber = Bit(b, 6);
    r.flag_save_O2 = Bit(b, 7);
}

void OldStateFlags(std::uint8_t b, LiveRecord& r) {
    r.flAG_xx_old = Bit(b, 1);
    r.flag_block_exit_xx = Bit(b, 2);
    r.flag_zona_knock_old = Bit(b, 3);
    r.flag_produv_adsorb_old = Bit(b, 4);
    r.flag_knock = Bit(b, 5);
    r.FlamOld = Bit(b, 6);
    r.FLam = Bit(b, 7) ? 1.0 : 0.0;
}

void Equipment(std::uint8_t b1, std::uint8_t b2, LiveRecord& r) {
    r.FLambda = Bit(b1, 0);
    r.FAdsorber = Bit(b1, 1);
    r.FEGRValve = Bit(b1, 2);
    r.FDetonationSensor = Bit(b1, 3);
    r.FIntakeTempSensor = Bit(b1, 4);
    r.FCamshaftPositionSensor = Bit(b1, 5);
    r.FFuelCutOFF = Bit(b1, 6);
    r.FIdleWorkAdaptation = Bit(b1, 7);
    r.FCOAdaptation = Bit(b2, 1);
    r.FThrottleZeroAdaptation = Bit(b2, 2);
    r.FNotSyncInjectionAtStart = Bit(b2, 3);
    r.FSaveErrors = Bit(b2, 4);
    r.FSpeedSensor = Bit(b2, 5);
    r.FOnePointInjection = Bit(b2, 6);
    r.FNotSyncInjectionAtWork = Bit(b2, 7);
}

void LambdaStatus(std::uint8_t b, LiveRecord& r) {
    r.FsensorFlagLambdaStatus = b;
    r.flag_O2_gotov = Bit(b, 0);
    r.flag_O2_heater = Bit(b, 1);
}

void Block01(std::span<const std::uint8_t> D, LiveRecord& r) {
    Equipment(D[1], D[2], r);
    EngineFlags(D[3], r);
    r.FlagXX = r.flag_XX;
    OldStateFlags(D[4], r);
    r.flag_O2_old = Bit(D[4], 6);
    r.flag_o2_new = Bit(D[4], 7);
    r.Flam_Log = (Bit(D[4], 6) && Bit(D[4], 7)) ? 1 : 0;
    r.FsensorCoolantTemp = D[9] - 40;
    r.FsensorAirFuelRatio = Afr(D[10]);
    r.FsensorThrottlePosition = D[11];
    r.FsensorCrankshaftSpeed = D[12] * 40;
    r.FsensorCrankshaftIdleSpeed = D[13] * 10;
    r.FsensorIdleWantPosition = D[14];
    r.FsensorIdleRealPosition = D[15];
    r.FsensorFuelTimeCorrection = RoundTwoDecimals((D[16] + 128) / 256.0);
    r.FsensorSparkAngle = Signed(D[17]);
    r.FsensorCarSpeed = D[18];
    r.FsensorVoltage = static_cast<double>(D[19] * 0.05L + 5.2L);
    r.FsensorCrankshaftIdleWantSpeed = D[20] * 10;
    r.FsensorLambdaVoltage = Lambda(D[21]);
    LambdaStatus(D[22], r);
    r.FsensorFuelTimeLength = Word(D, 23) / 125;
    r.FsensorAirWeightRate = Word(D, 25) / 10;
    r.FsensorAirCycleRate = Word(D, 27) / 6;
    r.FsensorFuelWayRate = RoundTwoDecimals(Word(D, 29) / 50);
}

void Block0F(std::span<const std::uint8_t> D, double naklon, double smeshenie, LiveRecord& r) {
    EngineFlags(D[1], r);
    OldStateFlags(D[2], r);
    r.Fsensor_rpm_gbc_3d = D[8];
    r.FsensorCoolantTemp = D[9] - 40;
    r.FsensorAirFuelRatio = Afr(D[10]);
    r.FsensorRCO = D[11] / 256.0;
    r.FsensorThrottlePosition = D[12];
    r.FsensorCrankshaftSpeed = D[13] * 40;
    r.FsensorCrankshaftIdleSpeed = D[14] * 10;
    r.FsensorTimeCicle = Word(D, 15);
    r.FsensorIdleWantPosition = D[17];
    r.FsensorIdleRealPosition = D[18];
    const double corr = (D[19] + 128) / 256.0;
    r.FsensorFuelTimeCorrection = RoundTwoDecimals(corr);
    r.COEFFCORR_OLT = static_cast<std::int32_t>(RoundEven(corr * 128));
    r.FsensorRamCoeffCorr = static_cast<std::uint8_t>(r.COEFFCORR_OLT);
    r.FsensorFazaIngection = D[20] * 3;
    r.FsensorSparkAngle = Signed(D[21]);
    r.FsensorSparkAngle_correct_1 = D[22] / 2.0;
    r.FsensorSparkAngle_correct_2 = D[23] / 2.0;
    r.FsensorSparkAngle_correct_3 = D[24] / 2.0;
    r.FsensorSparkAngle_correct_4 = D[25] / 2.0;
    r.FsensotKNOCkVoltage = Volts(D[26]);
    r.FsensorDmrvVoltage = Volts(D[27]);
    r.FsensorVoltage = static_cast<double>(D[28] * 0.093L);
    r.FsensorRCOVoltage = Volts(D[29]);
    r.FsensorTPSVoltage = Volts(D[30]);
    r.FsensorTWATvoltage = Volts(D[31]);
    r.FsensorTAIRvoltage = Volts(D[32]);
    r.FsensorLambdaVoltage = Lambda(D[33]);
    LambdaStatus(D[34], r);
    r.FsensorCarSpeed = D[36];
    r.FsensorCrankshaftIdleWantSpeed = D[37] * 10;
    r.FsensorTAIR = D[38] - 40;
    r.FsensorLamMdaVoltage_2 = Lambda(D[39]);
    r.FsensorCoeffCorrGTC_HI = Word(D, 40) / 256;
    r.FsensorCoeffCorrGTC_LO = Word(D, 42) / 256;
    r.FsensorFuelTimeLength = Word(D, 44) / 125;
    r.FsensorAirWeightRate = Word(D, 46) / 10;
    r.FsensorAirCycleRate = Word(D, 48) / 6;
    r.FsensorFuelTimeRate = Word(D, 50) / 50;
    const long double pressure =
        (static_cast<long double>(r.FsensorDmrvVoltage) + smeshenie) * naklon;
    r.FsensorPressure = static_cast<int>(RoundEven(pressure));
}

void InjectorDuty(LiveRecord& r) {
    if (r.FsensorFuelTimeLength > 0 && r.FsensorCrankshaftSpeed > 0) {
        const long double cycle_ms = 60.0L / r.FsensorCrankshaftSpeed * 1000;
        r.InjDuty = static_cast<double>(r.FsensorFuelTimeLength / cycle_ms * 100 / 2);
    }
}

}  // namespace

double RoundTwoDecimals(double v) {
    const auto back = ParseNumber(FormatMask("##0.##", v, '.'), '.');
    return back ? *back : v;
}

bool DecodeLiveBlock(std::span<const std::uint8_t> D, double FdadNaklon, double FdadSMeshenie,
                     LiveRecord& rec) {
    if (D.empty())
        return false;
    if (D[0] == 0x01 && D.size() >= kBlock01Size) {
        Block01(D, rec);
    } else if (D[0] == 0x0F && D.size() >= kBlock0FSize) {
        Block0F(D, FdadNaklon, FdadSMeshenie, rec);
    } else {
        return false;
    }
    InjectorDuty(rec);
    rec.block = D[0];
    return true;
}

}  // namespace veltrano
