// Texts of the log analysis: column groups and the reader's refusals.
#pragma once

namespace veltrano {

inline constexpr const char* kGroupEngine = "Двигатель";
inline constexpr const char* kGroupMixture = "Смесь";
inline constexpr const char* kGroupIgnition = "Зажигание";
inline constexpr const char* kGroupSensors = "Датчики";
inline constexpr const char* kGroupFlags = "Признаки";

inline constexpr const char* kLogNotOpened = "Не удалось открыть журнал: ";  // + reason
inline constexpr const char* kLogEmpty = "Файл журнала пуст";
inline constexpr const char* kNotALog =
    "Файл не является журналом сеанса: первая строка не заголовок журнала";
inline constexpr const char* kLogNoRows = "В журнале нет ни одной строки данных";

// What learning over a log uses for the values the cycle needs but the log does not hold.
inline constexpr const char* kStandInWideband =
    "Момент прихода показания ШДК в журнал не пишется: новым показанием считается каждая "
    "строка с «AFR с шдк» больше 0, коэффициент берётся из столбца «коэфицент коррекции от "
    "ШДК»; проверка устаревшего показания не действует";
inline constexpr const char* kStandInWidebandPrecise =
    "Момент прихода показания ШДК в журнал не пишется: новым показанием считается строка, в "
    "которой изменился «коэфицент коррекции от ШДК»; показания, равные предыдущему, "
    "восстанавливаются через период показаний, найденный по журналу";
inline constexpr const char* kStandInSwitch =
    "Включение обучения в журнал не пишется: обучение считается включённым во всех строках";
inline constexpr const char* kStandInTarget =
    "Режим записи (OLT / RAM PCN) в журнал не пишется: таблица считается отправленной, на "
    "результат это не влияет";
inline constexpr const char* kStandInOptions =
    "Источник лямбды, «Попаданий в Точку», «ТОЖ для обучения», «Не настраивать ниже 2% TPS "
    "» и сглаживание в журнал не пишутся: берутся заданные";
inline constexpr const char* kStandInEdits =
    "Правки таблицы во время поездки в журнал не пишутся; строк с перезаписью таблицы без "
    "обновления обучения: ";  // + count

}  // namespace veltrano
