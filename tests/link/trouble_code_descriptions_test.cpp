#include "link/trouble_code_descriptions.h"

#include <gtest/gtest.h>

#include <regex>
#include <set>
#include <string>

namespace veltrano {
namespace {

TEST(TroubleCodeDescriptions, DescribeTheCodesTheEcuReports) {
    struct Case {
        const char* code;
        const char* text;
    } cases[] = {
        {"P0130", "ДК 1: неисправность цепи"},
        {"P0340", "Датчик фазы: неисправность цепи"},
        {"P0030", "Нагреватель ДК 1: обрыв цепи управления"},
        {"P0201", "Форсунка цилиндра 1: обрыв цепи управления"},
        {"P0327", "Датчик детонации: низкий уровень сигнала"},
        {"P0351", "Катушка зажигания A (цилиндры 1 и 4): неисправность цепи"},
        {"P0505", "Регулятор холостого хода: неисправность"},
        {"P0500", "Датчик скорости автомобиля: нет сигнала"},
        {"P0562", "Напряжение бортсети: низкий уровень"},
        {"P0603", "ЭБУ: ошибка энергонезависимой памяти"},
        {"P1621", "ЭБУ: ошибка ОЗУ"},               // the last entry of the table
        {"p0117", "ДТОЖ: низкий уровень сигнала"},  // lower-case hex digits from elsewhere
        {"P9999", "Неизвестный код"},
        {"P0000", "Неизвестный код"},
        {"P01", "Неизвестный код"},
        {"", "Неизвестный код"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TroubleCodeDescription(c.code), c.text) << c.code;
}

TEST(TroubleCodeDescriptions, TableIsSortedUniqueAndCoversTheCommonCodes) {
    const auto table = DescribedTroubleCodes();
    EXPECT_GE(table.size(), 50u);
    const std::regex form("P[0-9A-F]{4}");
    std::set<std::string_view> seen;
    for (std::size_t i = 0; i < table.size(); ++i) {
        const auto& d = table[i];
        EXPECT_TRUE(std::regex_match(std::string(d.code), form)) << d.code;
        EXPECT_FALSE(d.text.empty()) << d.code;
        EXPECT_TRUE(seen.insert(d.code).second) << "twice: " << d.code;
        if (i > 0) {
            EXPECT_LT(table[i - 1].code, d.code);
        }
        EXPECT_EQ(TroubleCodeDescription(d.code), d.text);
    }
    // Every group a tuner meets: sensors, injectors, ignition, knock, lambda and its heater,
    // idle air control, speed sensor, supply voltage, memory.
    for (const char* code :
         {"P0102", "P0107", "P0113", "P0118", "P0123", "P0335", "P0261", "P0300", "P0352", "P0325",
          "P0135", "P0031", "P0511", "P0501", "P0563", "P0601", "P0604"})
        EXPECT_NE(TroubleCodeDescription(code), "Неизвестный код") << code;
}

}  // namespace
}  // namespace veltrano
