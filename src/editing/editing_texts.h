// The texts the editing layer shows to the user.
#pragma once

namespace veltrano::editing_texts {

inline constexpr const char* kKeyNotUsed = "клавиша не используется";
inline constexpr const char* kBadLoadScale = "Масштаб нагрузки должен быть числом больше нуля";
inline constexpr const char* kMenuInterpolateX = "Интерполяция по оси Х";
inline constexpr const char* kMenuInterpolateY = "Интерполяция по оси Y";
inline constexpr const char* kMenuSmooth = "Сгладить таблицу";
inline constexpr const char* kGenerateButton = "Сгенерировать";
inline constexpr const char* kLoadScaleInitial = "400";

// What an edit did, as "Отменить: ..." names it.
inline constexpr const char* kEditKeyStep = "изменение клавишей";
inline constexpr const char* kEditInterpolateX = "интерполяция по X";
inline constexpr const char* kEditInterpolateY = "интерполяция по Y";
inline constexpr const char* kEditSmooth = "сглаживание";
inline constexpr const char* kEditGenerate = "генерация УОЗ";
inline constexpr const char* kEditTyped = "ввод значения";
inline constexpr const char* kEditPaste = "вставка";
inline constexpr const char* kEditSet = "установка значения";
inline constexpr const char* kEditAdd = "прибавление";
inline constexpr const char* kEditMultiply = "умножение на %";
inline constexpr const char* kEditRevert = "возврат исходного";
inline constexpr const char* kEditLearning = "обучение PCN";
inline constexpr const char* kEditLogTable = "таблица из журнала";
inline constexpr const char* kCompareWas = "было";
inline constexpr const char* kOtherVariantPrefix = "Прошивка другого варианта (";
inline constexpr const char* kOtherVariantMiddle =
    ") — сравнивать можно только с прошивкой того же варианта, что открыта (";
inline constexpr const char* kOtherVariantEnd = ").";
inline constexpr const char* kUnknownVariant = "не опознана";

}  // namespace veltrano::editing_texts
