// Two images of one variant compared table by table.
#include "calibration/image_diff.h"

#include <gtest/gtest.h>

#include "calibration/demo_image.h"

namespace veltrano {
namespace {

Calibration Open(std::vector<std::uint8_t> bytes) {
    RecordedMessages messages;
    Calibration c;
    EXPECT_TRUE(OpenCalibrationBytes(std::move(bytes), messages, c, ','));
    return c;
}

DemoImageOptions Options(const std::string& variant) {
    DemoImageOptions o = DefaultDemoOptions();
    o.variant = variant;
    o.pcnDad32x32 = variant == "J7ES";
    o.pcn32 = variant == "J5TRS" || variant == "J7TRS";
    return o;
}

// An address that belongs to no table of the layout.
std::size_t OutsideTables(const FirmwareLayout& l) {
    for (std::size_t at = 0x1000;; ++at) {
        bool inside = false;
        for (const TablePlace& t : TablesOf(l))
            inside |= at >= t.start && at < t.start + std::size_t(t.n * t.n);
        if (!inside)
            return at;
    }
}

TEST(ImageDiff, IdenticalImagesOfEveryVariantDifferNowhere) {
    for (const std::string& variant : DemoVariants()) {
        SCOPED_TRACE(variant);
        const auto bytes = MakeDemoImage(Options(variant));
        const Calibration a = Open(bytes);
        const DiffResult r = DiffImages(a, Open(bytes), ',');
        ASSERT_TRUE(r.diff) << r.error;
        EXPECT_EQ(r.diff->variant, variant);
        EXPECT_FALSE(r.diff->TablesDiffer());
        EXPECT_EQ(r.diff->otherBytes, 0u);
        ASSERT_EQ(r.diff->tables.size(), TablesOf(a.layout).size());
        for (const TableDiff& t : r.diff->tables)
            EXPECT_TRUE(t.cells.empty()) << t.name;
    }
}

// Edits at table cells and one outside every table; where tables share bytes, an edit shows
// in each of them.
TEST(ImageDiff, ChangedCellsOfEveryVariantAreFoundWithTheirTexts) {
    struct Edit {
        const char* table;
        int c, r;
        int delta;
    };
    const Edit edits[] = {{"PCN", 3, 5, 4},     {"BCN", 16, 16, -3},      {"UOZ", 1, 1, 2},
                          {"AFR", 8, 2, 1},     {"PCN_32x32", 32, 32, 1}, {"PCN_32", 1, 32, 7},
                          {"PCN_TRT", 16, 1, 9}};
    for (const std::string& variant : DemoVariants()) {
        SCOPED_TRACE(variant);
        const auto oldBytes = MakeDemoImage(Options(variant));
        const Calibration a = Open(oldBytes);
        const std::vector<TablePlace> places = TablesOf(a.layout);
        auto newBytes = oldBytes;
        for (const TablePlace& t : places)
            for (const Edit& e : edits)
                if (t.name == e.table) {
                    const std::size_t at = t.start + std::size_t((e.r - 1) * t.n + e.c - 1);
                    newBytes[at] = std::uint8_t(newBytes[at] + e.delta);
                }
        newBytes[OutsideTables(a.layout)] ^= 0x5A;
        const DiffResult r = DiffImages(a, Open(newBytes), ',');
        ASSERT_TRUE(r.diff) << r.error;
        EXPECT_EQ(r.diff->TablesDiffer(), !places.empty());
        EXPECT_EQ(r.diff->otherBytes, 1u);
        ASSERT_EQ(r.diff->tables.size(), places.size());
        const int m = BcnMultiplier(a.firmware);
        for (std::size_t i = 0; i < places.size(); ++i) {
            const TablePlace& t = places[i];
            SCOPED_TRACE(t.name);
            EXPECT_EQ(r.diff->tables[i].name, t.name);
            std::vector<CellChange> want;
            for (int row = 1; row <= t.n; ++row)
                for (int c = 1; c <= t.n; ++c) {
                    const std::size_t at = t.start + std::size_t((row - 1) * t.n + c - 1);
                    if (oldBytes[at] != newBytes[at])
                        want.push_back({c, row, oldBytes[at], newBytes[at],
                                        ByteText(t.scale, oldBytes[at], m, ','),
                                        ByteText(t.scale, newBytes[at], m, ',')});
                }
            EXPECT_FALSE(want.empty());
            EXPECT_EQ(r.diff->tables[i].cells, want);
        }
    }
}

TEST(ImageDiff, EdgeCases) {
    const auto base = MakeDemoImage(Options("J7ES"));
    const Calibration a = Open(base);
    const std::size_t pcn = a.layout.StartAddrPCN;

    // Two bytes with the same text are still two different bytes.
    auto same = base, other = base;
    same[pcn] = 2;
    other[pcn] = 3;
    DiffResult r = DiffImages(Open(same), Open(other), ',');
    ASSERT_TRUE(r.diff);
    ASSERT_EQ(r.diff->tables[0].cells.size(), 1u);
    EXPECT_EQ(r.diff->tables[0].cells[0], (CellChange{1, 1, 2, 3, "0,02", "0,02"}));

    // The separator is the caller's.
    r = DiffImages(Open(same), Open(base), '.');
    EXPECT_EQ(r.diff->tables[0].cells[0].oldText, "0.02");

    // Bytes past the end of the shorter image count as other bytes.
    auto longBytes = base;
    longBytes.resize(65536 + 16, 0xFF);
    r = DiffImages(a, Open(longBytes), ',');
    ASSERT_TRUE(r.diff) << r.error;
    EXPECT_EQ(r.diff->otherBytes, 16u);
    EXPECT_FALSE(r.diff->TablesDiffer());

    // Images of different variants are refused.
    r = DiffImages(a, Open(MakeDemoImage(Options("J5LS"))), ',');
    EXPECT_FALSE(r.diff);
    EXPECT_EQ(r.error, "different variants: J7ES and J5LS");
}

}  // namespace
}  // namespace veltrano
