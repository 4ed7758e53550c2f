#include "editing/cell_values.h"

#include <gtest/gtest.h>

#include "editing/compare_tip.h"

namespace veltrano {
namespace {

constexpr char kSep = ',';

TextGrid PcnGrid(const char* text = "1") {
    TextGrid g(17, 17);
    for (int r = 1; r <= 16; ++r) {
        for (int c = 1; c <= 16; ++c)
            g.SetCell(c, r, text);
    }
    return g;
}

struct ValueCase {
    const char* label;
    ValueOp op;
    double x;
    const char* before;
    const char* after;
    bool clamped;
};

class Values : public ::testing::TestWithParam<ValueCase> {};

TEST_P(Values, ChangeEverySelectedCellWithinTheByteRange) {
    const ValueCase& k = GetParam();
    TextGrid g = PcnGrid(k.before);
    const ValuesResult r = ApplyValue(g, TableId::PCN, {2, 3, 4, 5}, k.op, k.x, 1, kSep);
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.clamped, k.clamped);
    for (int c = 2; c <= 4; ++c) {
        for (int row = 3; row <= 5; ++row)
            EXPECT_EQ(g.Cell(c, row), k.after) << c << "," << row;
    }
    EXPECT_EQ(g.Cell(1, 3), k.before);
    EXPECT_EQ(g.Cell(2, 6), k.before);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Values,
    ::testing::Values(ValueCase{"Set", ValueOp::Set, 1.02, "1", "1,02", false},
                      ValueCase{"SetAboveRange", ValueOp::Set, 2.5, "1", "1,99", true},
                      ValueCase{"SetBelowRange", ValueOp::Set, -1, "1", "0", true},
                      ValueCase{"Add", ValueOp::Add, 0.05, "0,98", "1,03", false},
                      ValueCase{"MultiplyPercent", ValueOp::MultiplyPercent, 5, "1", "1,05", false},
                      ValueCase{"MultiplyDown", ValueOp::MultiplyPercent, -50, "1", "0,5", false}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(Values, ACellThatIsNotANumberChangesNothing) {
    TextGrid g = PcnGrid();
    g.SetCell(4, 5, "abc");
    const ValuesResult r = ApplyValue(g, TableId::PCN, {2, 3, 4, 5}, ValueOp::Add, 1, 1, kSep);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error, "«abc» не является числом");
    EXPECT_EQ(g.Cell(2, 3), "1");
    // Setting a value does not read the cells: it replaces the text.
    EXPECT_TRUE(ApplyValue(g, TableId::PCN, {4, 5, 4, 5}, ValueOp::Set, 1, 1, kSep).ok);
    EXPECT_EQ(g.Cell(4, 5), "1");
}

TEST(Values, TheUozBaseCurveTakesValuesTheLabelsDoNot) {
    TextGrid g(17, 18);
    ApplyValue(g, TableId::UOZ, {0, 16, 2, 17}, ValueOp::Set, 30, 1, kSep);
    EXPECT_EQ(g.Cell(1, 17), "30");
    EXPECT_EQ(g.Cell(0, 17), "");  // the label column
}

TEST(CopyPaste, CopyIsTabSeparatedWithTheLocaleSeparator) {
    TextGrid g = PcnGrid();
    g.SetCell(2, 1, "0,98");
    g.SetCell(3, 2, "1,02");
    EXPECT_EQ(CopyBlock(g, {1, 1, 3, 2}), "1\t0,98\t1\n1\t1\t1,02\n");
}

TEST(CopyPaste, ABlockFromASpreadsheetPastesAtTheCorner) {
    TextGrid g = PcnGrid();
    const PasteResult r = PasteBlock(g, TableId::PCN, 15, 2, "0,5\t0,75\r\n1,25\t3\r\n", 1, kSep);
    EXPECT_EQ(r.refusal, PasteRefusal::None);
    EXPECT_TRUE(r.clamped);
    EXPECT_EQ(g.Cell(15, 2), "0,5");
    EXPECT_EQ(g.Cell(16, 2), "0,75");
    EXPECT_EQ(g.Cell(15, 3), "1,25");
    EXPECT_EQ(g.Cell(16, 3), "1,99");
}

struct RefusedPaste {
    const char* label;
    int left;
    int top;
    const char* text;
    PasteRefusal refusal;
};

class Refused : public ::testing::TestWithParam<RefusedPaste> {};

TEST_P(Refused, WholeBlocksOnly) {
    TextGrid g = PcnGrid();
    const TextGrid before = g;
    const RefusedPaste& k = GetParam();
    EXPECT_EQ(PasteBlock(g, TableId::PCN, k.left, k.top, k.text, 1, kSep).refusal, k.refusal);
    for (int r = 0; r <= 16; ++r) {
        for (int c = 0; c <= 16; ++c)
            EXPECT_EQ(g.Cell(c, r), before.Cell(c, r));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Refused,
    ::testing::Values(RefusedPaste{"PastTheRight", 16, 1, "1\t1", PasteRefusal::DoesNotFit},
                      RefusedPaste{"PastTheBottom", 1, 16, "1\n1", PasteRefusal::DoesNotFit},
                      RefusedPaste{"NotANumber", 1, 1, "1\t1\n1\tx", PasteRefusal::NotANumber},
                      RefusedPaste{"OtherSeparator", 1, 1, "1.5", PasteRefusal::NotANumber},
                      RefusedPaste{"Empty", 1, 1, "\n", PasteRefusal::Empty}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(CompareTip, OldAndNewWithTheChangeInPercent) {
    EXPECT_EQ(CompareTip("0,98", 0.98, "1,02", 1.02, kSep), "было 0,98 → 1,02 (+4,1 %)");
    EXPECT_EQ(CompareTip("20", 20, "18,5", 18.5, kSep), "было 20 → 18,5 (-7,5 %)");
    EXPECT_EQ(CompareTip("0", 0, "0,5", 0.5, kSep), "было 0 → 0,5");
}

}  // namespace
}  // namespace veltrano
