// The controls of the "Настройка" tab that steer the learning cycle, as plain values.
#pragma once

#include <algorithm>

namespace veltrano {

// Write target radio group: "OLT", "RAM PCN", "RAM UOZ" (none checked at start).
enum class WriteTarget { None, Olt, RamPcn, RamUoz };

// Lambda source radio group: "ДК", "АЦП ДК", "ШДК" (none checked at start).
enum class LambdaSource { None, Dk, VoltDk, Shdk };

// A spin box: its limits and the value it starts with.
struct SpinRange {
    int min;
    int max;
    int start;
    int Clamp(int v) const { return std::clamp(v, min, max); }
};

inline constexpr SpinRange kRequestDelayRange{10, 500, 50};  // "Задержка запроса"
inline constexpr SpinRange kLearnCoolantRange{50, 120, 60};  // "ТОЖ для обучения"
inline constexpr SpinRange kHitsPerPointRange{10, 100, 10};  // "Попаданий в Точку"
// Steady records in a cell before a record counts as a sample; 1 is the cycle as given.
inline constexpr SpinRange kStationaryRange{1, 50, 1};

struct LearningOptions {
    WriteTarget target = WriteTarget::None;
    LambdaSource source = LambdaSource::None;
    bool rememberMovement = false;  // CheckBox1 "Запомнить движение"
    bool autoSmoothing = false;     // CheckBox4 "Включить сглаживание(auto)"
    bool skipBelow2Tps = true;      // CheckBox7 "Не настраивать ниже 2% TPS "
    int requestDelay = kRequestDelayRange.start;  // RzSpinEdit1, ms
    int learnCoolant = kLearnCoolantRange.start;  // RzSpinEdit3, °C
    int hitsPerPoint = kHitsPerPointRange.start;  // RzSpinEdit4, samples per update
    int stationaryRecords = kStationaryRange.start;

    // The spin boxes never hold a value outside their limits.
    LearningOptions Clamped() const {
        LearningOptions o = *this;
        o.requestDelay = kRequestDelayRange.Clamp(requestDelay);
        o.learnCoolant = kLearnCoolantRange.Clamp(learnCoolant);
        o.hitsPerPoint = kHitsPerPointRange.Clamp(hitsPerPoint);
        o.stationaryRecords = kStationaryRange.Clamp(stationaryRecords);
        return o;
    }
};

}  // namespace veltrano
