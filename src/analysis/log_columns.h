// The 71 columns of the session log: their header names, indices and the groups a column
// picker shows them in.
#pragma once

#include <array>
#include <string_view>

namespace veltrano {

inline constexpr int kLogColumnCount = 71;

enum class ColumnGroup { Engine, Mixture, Ignition, Sensors, Flags };
inline constexpr std::array<ColumnGroup, 5> kColumnGroups = {
    ColumnGroup::Engine, ColumnGroup::Mixture, ColumnGroup::Ignition, ColumnGroup::Sensors,
    ColumnGroup::Flags};

// Zero-based indices of the columns the analysis itself reads.
namespace logcol {
inline constexpr int TIME = 0;
inline constexpr int CoolantTemp = 2;         // ДТОЖ
inline constexpr int TargetAfr = 3;           // AFR_ECM
inline constexpr int Throttle = 4;            // TPS
inline constexpr int Rpm = 5;                 // RPM
inline constexpr int FuelTimeCorrection = 9;  // COEFF
inline constexpr int LamMdaVoltage2 = 26;     // АЦП ДК
inline constexpr int CoeffCorrGtcHi = 27;     // Коэфф GTC при обогащении
inline constexpr int AirCycleRate = 31;       // GBC
inline constexpr int Pressure = 33;
inline constexpr int WidebandAfr = 35;  // AFR с шдк
inline constexpr int FlagEngineRun = 36;
inline constexpr int FlagXX = 37;
inline constexpr int FlagFuelOff = 39;
inline constexpr int FlagZoneO2 = 40;
inline constexpr int FlagO2Ready = 51;  // готовность ДК
inline constexpr int FlagO2Heater = 52;
inline constexpr int RPM_RT = 53;
inline constexpr int TRT_RT = 54;
inline constexpr int LC_COrrect = 56;  // коэфицент коррекции от ШДК
inline constexpr int DAD_RT = 57;
inline constexpr int PCN_FIRM = 58;  // Поправка ЦН
inline constexpr int RamRewrite = 59;
inline constexpr int OltRewrite = 60;
inline constexpr int RPM_RT_32 = 61;
}  // namespace logcol

struct LogColumnInfo {
    std::string_view name;  // the header text, UTF-8
    ColumnGroup group;
    bool integer;  // written as a plain integer (flags, indices, pressure)
};

const std::array<LogColumnInfo, kLogColumnCount>& LogColumns();

// "Двигатель", "Смесь", ...
std::string_view GroupName(ColumnGroup group);

}  // namespace veltrano
