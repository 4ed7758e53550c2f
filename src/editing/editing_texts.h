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

}  // namespace veltrano::editing_texts
