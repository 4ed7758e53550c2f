#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <vector>

#include "edit_fixture.h"
#include "editing/key_editors.h"

namespace veltrano::test {
namespace {

using Bytes = std::vector<std::uint8_t>;

class DataKeys : public EditFixture {
  protected:
    void SetUp() override {
        EditFixture::SetUp();
        layout.StartAddrInjStatic = 0x5F24;
        layout.InjStaticBytes = 2;
        layout.StartAddrMinInjTime = 0x5FA8;
        Connect();
        link->FlagOLT = true;
    }
    void Put(std::uint16_t addr, const Bytes& bytes) {
        std::copy(bytes.begin(), bytes.end(), firmware.FFirmwareData.begin() + addr);
    }
    Bytes At(std::uint16_t addr, std::size_t n) const {
        return Bytes(firmware.FFirmwareData.begin() + addr,
                     firmware.FFirmwareData.begin() + addr + n);
    }
};

// A one-cell parameter editor: grid (1, 0) shows the value.
struct ParameterCase {
    const char* name;
    int injStaticBytes;
    std::uint16_t addr;
    Bytes before;
    char32_t key;
    Bytes after;
    const char* shown;
};

TEST_F(DataKeys, ParameterEditorsStepTheirBytes) {
    const ParameterCase cases[] = {
        {"static 2 bytes, borrow", 2, 0x5F24, {0x20, 0x01}, U'+', {0xFF, 0x00}, "364,2346"},
        {"static 2 bytes, minus", 2, 0x5F24, {0x20, 0x01}, U'-', {0x52, 0x01}, "274,7924"},
        {"static 2 bytes, carry", 2, 0x5F24, {0xF0, 0x01}, U'-', {0x00, 0x02}, "181,4059"},
        {"static 2 bytes, no borrow left", 2, 0x5F24, {0x10, 0x00}, U'+', {0x10, 0x00}, ""},
        {"static 2 bytes, no carry left", 2, 0x5F24, {0xF0, 0xFF}, U'-', {0xF0, 0xFF}, ""},
        {"static 1 byte, plus", 1, 0x6057, {99 + 1}, U'+', {99}, "3,66476556565657"},
        {"static 1 byte, not below 1", 1, 0x6057, {1}, U'a', {1}, "362,811791"},
        {"static 1 byte, not above 255", 1, 0x6057, {255}, U'-', {255}, "1,4227913372549"},
        {"cylinder, plus", 0, 0x60AB, {0x00, 0x0F}, U'+', {0x64, 0x0F}, "39,4"},
        {"cylinder, plus carries", 0, 0x60AB, {0xA0, 0x0F}, U'+', {0x00, 0x10}, "40,96"},
        {"cylinder, minus", 0, 0x60AB, {0xA0, 0x0F}, U'-', {0x3C, 0x0F}, "39"},
        {"cylinder, minus borrows", 0, 0x60AB, {0x20, 0x0F}, U'-', {0xFF, 0x0E}, "38,39"},
        {"cylinder, top", 0, 0x60AB, {0xC8, 0xFF}, U'+', {0xFF, 0xFF}, "655,35"},
        {"cylinder, bottom", 0, 0x60AB, {0x20, 0x00}, U'-', {0x00, 0x00}, "0"},
        {"launch, plus", 0, 0x605B, {10}, U'+', {11}, "440"},
        {"launch, top", 0, 0x605B, {255}, U'+', {255}, "10200"},
        {"launch, bottom", 0, 0x605B, {0}, U'-', {0}, "0"},
        {"min injection, plus", 0, 0x5FA8, {125}, U'+', {126}, "1,008"},
        {"min injection, top", 0, 0x5FA8, {255}, U'+', {255}, "2,04"},
        {"min injection, bottom", 0, 0x5FA8, {0}, U'в', {0}, "0"},
    };
    for (const ParameterCase& c : cases) {
        link->FlagRewraiteTableOLT = false;
        Put(c.addr, c.before);
        TextGrid grid(2, 1);
        if (c.injStaticBytes != 0) {
            layout.InjStaticBytes = c.injStaticBytes;
            layout.StartAddrInjStatic = c.addr;
            RzStringGrid3KeyPress(ctx, grid, c.key);
        } else if (c.addr == 0x60AB) {
            RzStringGrid7KeyPress(ctx, grid, c.key);
        } else if (c.addr == 0x605B) {
            RzStringGrid8KeyPress(ctx, grid, c.key);
        } else {
            SG_Min_Inj_TimeKeyPress(ctx, grid, c.key);
        }
        EXPECT_EQ(At(c.addr, c.after.size()), c.after) << c.name;
        EXPECT_EQ(link->TableOLT, c.after) << c.name;
        EXPECT_EQ(link->StartAddrTableOLT, c.addr) << c.name;
        EXPECT_TRUE(link->FlagRewraiteTableOLT) << c.name;
        if (*c.shown != '\0') {
            EXPECT_EQ(grid.Cell(1, 0), c.shown) << c.name;
        }
    }
}

TEST_F(DataKeys, CoolantRowsStepTheSelectedColumnsAndRedecodeTheRow) {
    const struct {
        const char* name;
        std::function<void(TextGrid&, const GridSelection&, char32_t)> press;
        std::uint16_t base;
        std::uint8_t before;
        char32_t key;
        std::uint8_t after;
        const char* shownStepped;
        const char* shownOther;
    } cases[] = {
        {"idle mixture",
         [&](TextGrid& g, const GridSelection& s, char32_t k) {
             RzStringGrid4KeyPress(ctx, g, s, k);
         },
         0x87E4, 128, U'+', 129, "14,8", "14,7"},
        {"idle valve",
         [&](TextGrid& g, const GridSelection& s, char32_t k) {
             RzStringGrid5KeyPress(ctx, g, s, k);
         },
         0x6FE4, 40, U'-', 39, "39", "40"},
        {"idle speed",
         [&](TextGrid& g, const GridSelection& s, char32_t k) {
             RzStringGrid6KeyPress(ctx, g, s, k);
         },
         0x6F56, 90, U'+', 91, "910", "900"},
        {"idle speed, top",
         [&](TextGrid& g, const GridSelection& s, char32_t k) {
             RzStringGrid6KeyPress(ctx, g, s, k);
         },
         0x6F56, 255, U'+', 255, "2550", "2550"},
        {"idle valve, bottom",
         [&](TextGrid& g, const GridSelection& s, char32_t k) {
             RzStringGrid5KeyPress(ctx, g, s, k);
         },
         0x6FE4, 0, U'-', 0, "0", "0"},
    };
    for (const auto& c : cases) {
        link->FlagRewraiteTableOLT = false;
        Put(c.base, Bytes(39, c.before));
        TextGrid grid(39, 2);
        c.press(grid, {2, 1, 4, 1}, c.key);
        EXPECT_EQ(At(c.base, 39)[1], c.before) << c.name;
        EXPECT_EQ(At(c.base + 2, 3), Bytes(3, c.after)) << c.name;
        EXPECT_EQ(At(c.base, 39)[5], c.before) << c.name;
        EXPECT_EQ(link->TableOLT, Bytes(3, c.after)) << c.name;
        EXPECT_EQ(link->StartAddrTableOLT, c.base + 2) << c.name;
        EXPECT_EQ(grid.Cell(3, 1), c.shownStepped) << c.name;
        EXPECT_EQ(grid.Cell(0, 1), c.shownOther) << c.name;
        EXPECT_EQ(grid.Cell(38, 1), c.shownOther) << c.name;
    }
}

TEST_F(DataKeys, NothingHappensUnlessOnLineInOltModeWithNoWritePending) {
    const std::function<void()> states[] = {
        [&] { link->FlagRewraiteTableOLT = true; },  // an earlier write still pending
        [&] { link->FlagOLT = false; },
        [&] { layout.FirmwareLoaded = false; },
        [&] { ctx.link = nullptr; },
    };
    for (const auto& state : states) {
        SetUp();
        state();
        Put(0x60AB, {0x00, 0x0F});
        Put(0x87E4, Bytes(39, 100));
        TextGrid parameter(2, 1);
        TextGrid row(39, 2);
        RzStringGrid7KeyPress(ctx, parameter, U'+');
        RzStringGrid4KeyPress(ctx, row, {0, 1, 38, 1}, U'+');
        EXPECT_EQ(At(0x60AB, 2), (Bytes{0x00, 0x0F}));
        EXPECT_EQ(At(0x87E4, 39), Bytes(39, 100));
        EXPECT_EQ(parameter.Cell(1, 0), "");
        EXPECT_EQ(row.Cell(0, 1), "");
        EXPECT_TRUE(link->TableOLT.empty());
    }
}

TEST_F(DataKeys, KeysOutsideTheSignGroupsAndMissingParametersAreIgnored) {
    TextGrid grid(2, 1);
    Put(0x605B, {10});
    RzStringGrid8KeyPress(ctx, grid, U'i');
    layout.InjStaticBytes = 0;
    RzStringGrid3KeyPress(ctx, grid, U'+');
    layout.StartAddrMinInjTime = 0;  // images with no address for it
    SG_Min_Inj_TimeKeyPress(ctx, grid, U'+');
    EXPECT_EQ(At(0x605B, 1), Bytes{10});
    EXPECT_EQ(firmware.FFirmwareData[0], 0);
    EXPECT_FALSE(link->FlagRewraiteTableOLT);
}

}  // namespace
}  // namespace veltrano::test
