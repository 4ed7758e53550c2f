// The calibration's own user-facing texts.
#pragma once

namespace veltrano::texts {

inline constexpr const char* kWrongFirmwareSize = "Неверный размер прошивки";
inline constexpr const char* kOpenFirmwareHint = "Открыть Прошивку";
inline constexpr const char* kSaveFirmwareHint = "Сохранить Прошивку";
inline constexpr const char* kSaveFilter = "Bin|*.bin|Cte|*.cte";
inline constexpr const char* kLearnTrtOption = "Обучать RPM - TRT (PCN)";

inline constexpr const char* kTabPcn = "PCN";
inline constexpr const char* kTabPcnTrt = "PCN - TRT";
inline constexpr const char* kTabPcn32 = "PCN_32";
inline constexpr const char* kTabPcnDad32x32 = "Pcn_dad_32x32";
inline constexpr const char* kTabBcn = "BCN";
inline constexpr const char* kTabUoz = "UOZ";
inline constexpr const char* kTabAfr = "AFR";

inline constexpr const char* kLabelInjDynamic = "Динамическая производительность форсунок";
inline constexpr const char* kLabelIdleAfr = "Состав смеси на Холостом Ходу от ДТОЖ";
inline constexpr const char* kLabelIdleValve = "Желаемое положение РХХ от ДТОЖ";
inline constexpr const char* kLabelIdleRpm = "Желаемые обороты холостого хода от ДТОЖ";
inline constexpr const char* kCaptionInjStatic = "Статика форсунок Мг/Мсек";
inline constexpr const char* kCaptionCylinder = "Обьём Цилиндра CC";
inline constexpr const char* kCaptionLaunch = "Обороты Лаунча";
inline constexpr const char* kCaptionMinInjTime = "Мин. Время впрыска, Мсек";

inline constexpr const char* kExportMenuItem = "Сохранить Таблицу";
inline constexpr const char* kNameBcn = "Name=Базовое цикловое наполнение";
inline constexpr const char* kNamePcn = "Name=Поправка ЦН";
// The 'c' of "cмеси" is the Latin letter.
inline constexpr const char* kNameAfr = "Name=Состав cмеси от давления";
inline constexpr const char* kNameUoz = "Name=УОЗ";

// Messages of our own for conditions the platform would report.
inline constexpr const char* kCellNotNumber = "не является числом";
inline constexpr const char* kCellWord = "Ячейка";
inline constexpr const char* kWriteFailed = "Не удалось записать файл";

}  // namespace veltrano::texts
