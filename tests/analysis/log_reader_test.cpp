// Reading session logs back: the tool's own file, a spreadsheet-saved copy, broken rows and
// files that are not logs.
#include <gtest/gtest.h>

#include "analysis/analysis_texts.h"
#include "analysis/log_fields.h"
#include "analysis/log_reader.h"
#include "analysis/log_row_parser.h"
#include "log/log_texts.h"
#include "tests/analysis/log_writer.h"

namespace veltrano {
namespace {

std::vector<LogRowSpec> ThreeRows() {
    std::vector<LogRowSpec> rows(3);
    for (int i = 0; i < 3; ++i) {
        LogRowSpec& r = rows[i];
        r.time = {9, 5, 3 + i, 7};
        r.live.FsensorCrankshaftSpeed = 900 + 1000 * i;
        r.live.FsensorAirFuelRatio = 14.7;
        r.live.FsensorCoolantTemp = 88.5;
        r.live.FsensorPressure = -5 + i;
        r.live.FsensorCoeffCorrGTC_HI = 2.5e-20;  // written with an exponent
        r.live.flag_fuelOFF = i == 1;
        r.lambdaAfr = 13.25;
        r.cycle.RPM_RT = 2 + i;
        r.cycle.PCN_FIRM = 1.0234375;
        r.cycle.OltRewriteMark = i == 2;
    }
    return rows;
}

void ExpectThreeRows(const LogReadResult& r) {
    ASSERT_TRUE(r.ok) << r.error;
    ASSERT_EQ(r.table.Rows(), 3u);
    EXPECT_EQ(r.skippedRows, 0);
    EXPECT_DOUBLE_EQ(r.table.Time(0), 9 * 3600 + 5 * 60 + 3 + 0.007);
    EXPECT_DOUBLE_EQ(r.table.Time(2) - r.table.Time(0), 2.0);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(r.table.Value(i, logcol::Rpm), 900 + 1000.0 * i);
        EXPECT_FLOAT_EQ(r.table.Column(logcol::TargetAfr)[i], 14.7f);
        EXPECT_FLOAT_EQ(r.table.Column(logcol::CoolantTemp)[i], 88.5f);
        EXPECT_EQ(r.table.Value(i, logcol::Pressure), -5.0 + i);
        EXPECT_FLOAT_EQ(r.table.Column(logcol::CoeffCorrGtcHi)[i], 2.5e-20f);
        EXPECT_EQ(r.table.Value(i, logcol::FlagFuelOff), i == 1 ? 1 : 0);
        EXPECT_FLOAT_EQ(r.table.Column(logcol::WidebandAfr)[i], 13.25f);
        EXPECT_EQ(r.table.Value(i, logcol::RPM_RT), 2.0 + i);
        EXPECT_FLOAT_EQ(r.table.Column(logcol::PCN_FIRM)[i], 1.0234375f);
        EXPECT_EQ(r.table.Value(i, logcol::OltRewrite), i == 2 ? 1 : 0);
    }
}

TEST(LogReader, ReadsTheToolsOwnLog) {
    const auto path = WriteOwnLog(TestDir("own"), ThreeRows());
    const std::string bytes = ReadBytes(path);
    ASSERT_NE(bytes.find("\r\n"), std::string::npos);
    ASSERT_NE(bytes.find("\xC4\xD2\xCE\xC6"), std::string::npos);  // "ДТОЖ" in Windows-1251
    ASSERT_NE(bytes.find("E-20"), std::string::npos);
    const LogReadResult r = ReadSessionLog(path);
    EXPECT_EQ(r.flavour, LogFlavour::Own);
    EXPECT_FALSE(r.utf8);
    ExpectThreeRows(r);
}

TEST(LogReader, ReadsASpreadsheetSavedCopyWithOrWithoutBom) {
    const auto dir = TestDir("spreadsheet");
    const std::string own = ReadBytes(WriteOwnLog(dir, ThreeRows()));
    for (const bool bom : {true, false}) {
        const std::string saved = AsSpreadsheetSaved(own, bom);
        ASSERT_NE(saved.find("14,7;"), std::string::npos);
        const auto path = dir / (bom ? "bom.csv" : "plain.csv");
        WriteBytes(path, saved);
        const LogReadResult r = ReadSessionLog(path);
        EXPECT_EQ(r.flavour, LogFlavour::Spreadsheet) << bom;
        EXPECT_TRUE(r.utf8) << bom;
        ExpectThreeRows(r);
    }
}

TEST(LogReader, SkipsAndCountsBrokenRows) {
    const std::string own = ReadBytes(WriteOwnLog(TestDir("broken"), ThreeRows()));
    const std::size_t row2 = own.find("\r\n") + 2;
    const std::size_t row3 = own.find("\r\n", row2) + 2;
    const std::size_t end = own.size() - 2;
    const struct {
        const char* name;
        std::string bytes;
        std::size_t rows;
        std::vector<long> skippedLines;
    } cases[] = {
        {"last row cut short", own.substr(0, end - 20), 2, {4}},
        {"last row without its line end", own.substr(0, end), 3, {}},
        {"a word in the second row",
         own.substr(0, row3) + "9:5:5.7,abc" + own.substr(own.find(',', row3 + 8)),
         2,
         {3}},
        {"a field missing", own.substr(0, row2) + own.substr(own.find(',', row2) + 1), 2, {2}},
        {"a bad time", own.substr(0, row2) + "9:75:3.7" + own.substr(own.find(',', row2)), 2, {2}},
        {"blank lines are not rows", own.substr(0, row2) + "\r\n\r\n" + own.substr(row2), 3, {}},
    };
    for (const auto& c : cases) {
        const LogReadResult r = ReadSessionLogBytes(c.bytes);
        ASSERT_TRUE(r.ok) << c.name << ": " << r.error;
        EXPECT_EQ(r.table.Rows(), c.rows) << c.name;
        EXPECT_EQ(r.skippedRows, static_cast<long>(c.skippedLines.size())) << c.name;
        EXPECT_EQ(r.skippedLines, c.skippedLines) << c.name;
    }
}

TEST(LogReader, RefusesWhatIsNotALog) {
    const std::string header = Utf8ToCp1251(kLogHeader) + "\r\n";
    std::string image(70000, '\0');
    image[0x30] = 'J';
    const struct {
        const char* name;
        std::string bytes;
        const char* error;
    } cases[] = {
        {"a firmware image", image, kNotALog},
        {"another CSV", "a,b,c\r\n1,2,3\r\n", kNotALog},
        {"a header one column short", header.substr(0, header.rfind(',')) + "\r\n", kNotALog},
        {"empty", "", kLogEmpty},
        {"only the header", header, kLogNoRows},
    };
    for (const auto& c : cases) {
        const LogReadResult r = ReadSessionLogBytes(c.bytes);
        EXPECT_FALSE(r.ok) << c.name;
        EXPECT_EQ(r.error, c.error) << c.name;
    }
    const LogReadResult missing = ReadSessionLog("/nonexistent/log.csv");
    EXPECT_FALSE(missing.ok);
    EXPECT_EQ(missing.error.rfind(kLogNotOpened, 0), 0u) << missing.error;
}

TEST(LogReader, TimePastMidnightKeepsCounting) {
    std::vector<LogRowSpec> rows(3);
    rows[0].time = {23, 59, 59, 900};
    rows[1].time = {0, 0, 0, 100};
    rows[2].time = {0, 0, 1, 0};
    const LogReadResult r = ReadSessionLog(WriteOwnLog(TestDir("midnight"), rows));
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_NEAR(r.table.Time(1) - r.table.Time(0), 0.2, 1e-9);
    EXPECT_NEAR(r.table.Time(2), 86401.0, 1e-9);
    EXPECT_EQ(r.table.RowAtOrAfter(86400.0), 1u);
}

TEST(LogFields, RealsAndTimes) {
    const struct {
        const char* text;
        char decimal;
        std::optional<double> value;
    } reals[] = {
        {"14.7", '.', 14.7},
        {"14,7", ',', 14.7},
        {"14.7", ',', 14.7},
        {"-3", '.', -3},
        {"1E-5", '.', 1e-5},
        {"1,5E-5", ',', 1.5e-5},
        {" 5 ", '.', 5},
        {"\"0,25\"", ',', 0.25},
        {"0.123456789012345678", '.', 0.123456789012345678},
        {"", '.', std::nullopt},
        {"abc", '.', std::nullopt},
        {"1.2.3", '.', std::nullopt},
        {"14,7", '.', std::nullopt},
        {"inf", '.', std::nullopt},
        {"-", '.', std::nullopt},
    };
    for (const auto& c : reals)
        EXPECT_EQ(ParseLogReal(c.text, c.decimal), c.value) << c.text;
    const struct {
        const char* text;
        std::optional<double> value;
    } times[] = {
        {"9:5:3.7", 32703.007},       {"09:05:03.007", 32703.007}, {"9:5:3,70", 32703.070},
        {"9:5:3", 32703.0},           {"9:5", std::nullopt},       {"9:60:3.7", std::nullopt},
        {"9:5:3.1000", std::nullopt}, {"9:5:3.", std::nullopt},
    };
    for (const auto& c : times) {
        const auto v = ParseLogTime(c.text);
        ASSERT_EQ(v.has_value(), c.value.has_value()) << c.text;
        if (v) {
            EXPECT_NEAR(*v, *c.value, 1e-9) << c.text;
        }
    }
}

// A row's fields read in place agree with the field parsers: plain numbers with either mark,
// long mantissas, and the forms that take the general path; a row of the wrong width or with
// a broken field is refused.
TEST(LogRowParser, ReadsEveryFieldFormAndRefusesBrokenRows) {
    const auto row = [](char sep, const std::string& field, const std::string& tail = "") {
        std::string line = "10:0:0.500";
        for (int c = 1; c < kLogColumnCount; ++c)
            line += sep + (c == logcol::Rpm ? field : std::string("0"));
        return line + tail;
    };
    const struct {
        char sep, decimal;
        std::string field, tail;
        std::optional<float> value;
    } cases[] = {
        {',', '.', "14.7", "", 14.7f},
        {';', ',', "14,7", "", 14.7f},
        {';', ',', "14.7", "", 14.7f},
        {',', '.', "-3", "", -3.0f},
        {',', '.', "0.723456789012345", "", 0.723456789012345f},
        {',', '.', "1234567890.123456789", "", 1234567890.123456789f},
        {',', '.', "0.0000000000000000000000001", "", 1e-25f},
        {',', '.', "2.5E-20", "", 2.5e-20f},
        {';', ',', " \"0,25\" ", "", 0.25f},
        {';', ',', "1", ";;; ;", 1.0f},
        {',', '.', "", "", std::nullopt},
        {',', '.', "1.2.3", "", std::nullopt},
        {',', '.', "-", "", std::nullopt},
        {',', '.', "7", ",x", std::nullopt},
    };
    for (const auto& c : cases) {
        const std::string line = row(c.sep, c.field, c.tail);
        double time = 0;
        std::array<float, kLogColumnCount> values{};
        const bool ok = ParseLogRow(line, c.sep, c.decimal, time, values.data());
        ASSERT_EQ(ok, c.value.has_value()) << line;
        if (ok) {
            EXPECT_FLOAT_EQ(values[logcol::Rpm], *c.value) << c.field;
            EXPECT_DOUBLE_EQ(time, 36000.5);
        }
    }
    // One field short.
    std::string shortRow = row(',', "1");
    shortRow.resize(shortRow.rfind(','));
    double time = 0;
    std::array<float, kLogColumnCount> values{};
    EXPECT_FALSE(ParseLogRow(shortRow, ',', '.', time, values.data()));
}

TEST(LogColumns, EveryColumnHasItsHeaderNameAndAGroup) {
    const auto& columns = LogColumns();
    EXPECT_EQ(columns[logcol::TIME].name, "TIME");
    EXPECT_EQ(columns[logcol::WidebandAfr].name, "AFR с шдк");
    EXPECT_EQ(columns[kLogColumnCount - 1].name, "Путьевой расход л/100km");
    const struct {
        int column;
        ColumnGroup group;
    } cases[] = {
        {logcol::Rpm, ColumnGroup::Engine},
        {logcol::WidebandAfr, ColumnGroup::Mixture},
        {11, ColumnGroup::Ignition},
        {logcol::CoolantTemp, ColumnGroup::Sensors},
        {logcol::FlagFuelOff, ColumnGroup::Flags},
        {logcol::OltRewrite, ColumnGroup::Flags},
    };
    for (const auto& c : cases)
        EXPECT_EQ(columns[c.column].group, c.group) << columns[c.column].name;
    for (ColumnGroup g : kColumnGroups) {
        int n = 0;
        for (const auto& col : columns)
            n += col.group == g;
        EXPECT_GE(n, 4) << GroupName(g);
    }
    EXPECT_EQ(GroupName(ColumnGroup::Mixture), "Смесь");
}

}  // namespace
}  // namespace veltrano
