#include "sim/live_blocks.h"

#include <algorithm>
#include <cmath>

namespace veltrano {
namespace {

constexpr double kVoltsPerCount = 5.0 / 256.0;

std::uint8_t Bits(std::initializer_list<bool> bits) {
    unsigned value = 0;
    unsigned bit = 1;
    for (bool b : bits) {
        if (b) {
            value |= bit;
        }
        bit <<= 1;
    }
    return static_cast<std::uint8_t>(value);
}

// Engine status as both blocks carry it (bit 0 set: engine stopped).
std::uint8_t Status(const EngineState& s) {
    return Bits(
        {!s.running, s.idle, s.power, s.fuelCut, s.lambdaZone, s.knockZone, s.purge, false});
}

std::uint8_t History(const EngineState& s) {
    return Bits(
        {false, s.idleBefore, true, s.knockZoneBefore, s.purgeBefore, false, s.richBefore, s.rich});
}

std::uint8_t SignedHalfDegrees(double degrees) {
    const long v = std::clamp(std::lround(degrees * 2.0), -128L, 127L);
    return static_cast<std::uint8_t>(v & 0xFF);
}

double LambdaVolts(const EngineState& s) {
    if (!s.lambdaReady) {
        return 0.45;
    }
    return s.rich ? 0.8 : 0.1;
}

std::uint8_t LambdaStatus(const EngineState& s) {
    return Bits({s.lambdaReady, true});
}

std::uint8_t Volts(double volts) {
    return ByteOf(volts / kVoltsPerCount);
}

}  // namespace

std::uint8_t ByteOf(double value) {
    return static_cast<std::uint8_t>(std::clamp(std::lround(value), 0L, 255L));
}

void PutWord(std::vector<std::uint8_t>& d, std::size_t at, double value) {
    const long w = std::clamp(std::lround(value), 0L, 65535L);
    d[at] = static_cast<std::uint8_t>(w & 0xFF);
    d[at + 1] = static_cast<std::uint8_t>(w >> 8);
}

std::vector<std::uint8_t> LiveBlock01(const EngineState& s) {
    std::vector<std::uint8_t> d(37, 0);
    d[0] = 0x01;
    d[1] = 0xEB;  // lambda, canister, knock sensor, camshaft sensor, fuel cut-off, idle adapt.
    d[2] = 0x3C;  // throttle zero adaptation, async start, stored codes, speed sensor
    d[3] = Status(s);
    d[4] = History(s);
    d[9] = ByteOf(s.coolant + 40.0);
    d[10] = s.targetAfrByte;
    d[11] = ByteOf(s.point.throttle);
    d[12] = ByteOf(s.point.rpm / 40.0);
    d[13] = ByteOf(s.point.rpm / 10.0);
    d[14] = ByteOf(s.idle ? 34 : 20);
    d[15] = ByteOf(s.idle ? 33 : 20);
    d[16] = 128;  // mixture correction 1.0
    d[17] = SignedHalfDegrees(s.spark);
    d[18] = ByteOf(s.point.carSpeed);
    d[19] = ByteOf((s.battery - 5.2) / 0.05);
    d[20] = ByteOf(s.idleWantRpm / 10.0);
    d[21] = ByteOf(LambdaVolts(s) / 1.25 * 256.0);
    d[22] = LambdaStatus(s);
    PutWord(d, 23, s.injectionMs * 125.0);
    PutWord(d, 25, s.airFlowKgH * 10.0);
    PutWord(d, 27, s.airCycleMg * 6.0);
    PutWord(d, 29, s.fuelLitresPerHour * 50.0);
    return d;
}

std::vector<std::uint8_t> LiveBlock0F(const EngineState& s, const EcuConfig& config) {
    std::vector<std::uint8_t> d(52, 0);
    d[0] = 0x0F;
    d[1] = Status(s);
    d[2] = History(s);
    d[8] = ByteOf(s.at.speed);
    d[9] = ByteOf(s.coolant + 40.0);
    d[10] = s.targetAfrByte;
    d[11] = 128;  // RCO 0.5
    d[12] = ByteOf(s.point.throttle);
    d[13] = ByteOf(s.point.rpm / 40.0);
    d[14] = ByteOf(s.point.rpm / 10.0);
    PutWord(d, 15, s.running ? 60e6 / s.point.rpm / 16.0 : 65535.0);
    d[17] = ByteOf(s.idle ? 34 : 20);
    d[18] = ByteOf(s.idle ? 33 : 20);
    d[19] = 128;
    d[20] = 100;  // injection phase 300 degrees
    d[21] = SignedHalfDegrees(s.spark);
    d[26] = Volts(0.5);
    d[27] = Volts(s.point.pressure / config.mapSlope - config.mapOffset);
    d[28] = ByteOf(s.battery / 0.093);
    d[29] = Volts(2.5);
    d[30] = Volts(0.5 + s.point.throttle * 0.04);
    d[31] = Volts(3.6 - s.coolant * 0.03);
    d[32] = Volts(3.6 - s.airTemp * 0.03);
    d[33] = ByteOf(LambdaVolts(s) / 1.25 * 256.0);
    d[34] = LambdaStatus(s);
    d[36] = ByteOf(s.point.carSpeed);
    d[37] = ByteOf(s.idleWantRpm / 10.0);
    d[38] = ByteOf(s.airTemp + 40.0);
    d[39] = d[33];
    PutWord(d, 40, s.transientRich * 256.0);
    PutWord(d, 42, s.transientLean * 256.0);
    PutWord(d, 44, s.injectionMs * 125.0);
    PutWord(d, 46, s.airFlowKgH * 10.0);
    PutWord(d, 48, s.airCycleMg * 6.0);
    PutWord(d, 50, s.fuelLitresPerHour * 50.0);
    return d;
}

}  // namespace veltrano
