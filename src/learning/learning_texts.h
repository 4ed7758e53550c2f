// Texts of the learning cycle: the gates that refuse a record.
#pragma once

namespace veltrano {

inline constexpr const char* kGateLearningOff = "обучение выключено";
inline constexpr const char* kGateNoWriteTarget = "не выбран режим записи";
inline constexpr const char* kGateNoSource = "не выбран источник лямбды";
inline constexpr const char* kGateCoolant = "ДТОЖ ниже ";  // + the set temperature
inline constexpr const char* kGateFuelCut = "отсечка топлива";
inline constexpr const char* kGateThrottle2 = "дроссель < 2 %";
inline constexpr const char* kGateThrottle1 = "дроссель < 1 %";
inline constexpr const char* kGateTransient = "переходный режим";
inline constexpr const char* kGateNotStationary = "нет стационарности ";  // + "3/5"
inline constexpr const char* kGateNoTargetAfr = "нет AFR ЭБУ";
inline constexpr const char* kGateNoWideband = "нет данных ШДК";
inline constexpr const char* kGateO2NotReady = "ДК не готов";
inline constexpr const char* kGateInO2Zone = "ЭБУ в зоне ДК";
inline constexpr const char* kGateOutOfO2Zone = "ЭБУ вне зоны ДК";
inline constexpr const char* kGateCellNotNumber = "ячейка вне таблицы или не число";

}  // namespace veltrano
