// The cell colouring rules and the live panel texts, without a display.
#include <gtest/gtest.h>

#include <map>

#include "app/cell_colours.h"
#include "app/live_panels.h"

namespace veltrano {
namespace {

PaintState Connected() {
    PaintState s;
    s.EcuConnected = true;
    s.op.RPM_RT = 5;
    s.op.LoadIndex = 6;
    s.op.TRT_RT = 7;
    s.op.DAD_RT = 8;
    s.op.RPM_RT_32 = 10;
    s.op.DAD_RT_32 = 11;
    for (auto& column : s.LearnHits)
        column.fill(1);
    return s;
}

TEST(CellColours, NothingIsPaintedWhileDisconnected) {
    PaintState s = Connected();
    s.EcuConnected = false;
    s.LearnHits[1][1] = 5;
    for (PaintedGrid g : {PaintedGrid::PCN, PaintedGrid::BCN, PaintedGrid::RT, PaintedGrid::AFR,
                          PaintedGrid::PcnTrt, PaintedGrid::Pcn32x32})
        for (int c = 0; c <= 16; ++c)
            for (int r = 0; r <= 16; ++r)
                EXPECT_FALSE(PaintCell(g, c, r, s));
}

TEST(CellColours, RulesPaintTheirGridsInOrder) {
    PaintState s = Connected();
    s.LearnHits[2][2] = 2;  // a hit cell
    s.LearnHits[3][3] = 1;  // one hit is not a hit
    struct Case {
        PaintedGrid grid;
        int c, r;
        std::optional<CellColour> expected;
    };
    const Case cases[] = {
        {PaintedGrid::PCN, 2, 2, CellColour{kHitGreen, 1, 2}},
        {PaintedGrid::RT, 2, 2, CellColour{kHitGreen}},
        {PaintedGrid::Shdk, 2, 2, CellColour{kHitGreen}},
        {PaintedGrid::BCN, 2, 2, std::nullopt},
        {PaintedGrid::PCN, 3, 3, std::nullopt},
        {PaintedGrid::PCN, 5, 6, CellColour{kPointGreen}},
        {PaintedGrid::RT, 5, 6, CellColour{kPointGreen}},
        {PaintedGrid::Shdk, 5, 6, CellColour{kPointGreen}},
        {PaintedGrid::BCN, 5, 6, CellColour{kPointGreen}},
        {PaintedGrid::AFR, 5, 6, std::nullopt},
        {PaintedGrid::AFR, 5, 7, CellColour{kPointGreen}},  // throttle row
        {PaintedGrid::UOZ, 5, 7, CellColour{kPointGreen}},
        {PaintedGrid::BCN, 5, 7, CellColour{kPointGreen}},
        {PaintedGrid::UOZ, 5, 8, std::nullopt},
        {PaintedGrid::PcnTrt, 5, 7, CellColour{kThrottleTint}},
        {PaintedGrid::Pcn32x32, 10, 11, CellColour{kPointGreen}},
        {PaintedGrid::Pcn32, 5, 6, std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PaintCell(c.grid, c.c, c.r, s), c.expected)
            << int(c.grid) << " " << c.c << "," << c.r;
    s.FlagDadUozAfr = true;
    EXPECT_EQ(PaintCell(PaintedGrid::UOZ, 5, 8, s), CellColour{kPointGreen});
    s.LearnHits[5][6] = 2;
    EXPECT_EQ(PaintCell(PaintedGrid::PCN, 5, 6, s), CellColour{kPointPurple});
    EXPECT_EQ(PaintCell(PaintedGrid::Shdk, 5, 6, s), CellColour{kPointGreen});
    // Movement wins over everything, only on the PCN grid and only while remembered.
    s.MovementMap[5][6] = 1;
    EXPECT_EQ(PaintCell(PaintedGrid::PCN, 5, 6, s), CellColour{kPointPurple});
    s.rememberMovement = true;
    EXPECT_EQ(PaintCell(PaintedGrid::PCN, 5, 6, s), CellColour{kMovementBlue});
    EXPECT_EQ(PaintCell(PaintedGrid::RT, 5, 6, s), CellColour{kPointPurple});
}

std::map<std::string, std::string> Panels(const LiveValuesView& v) {
    std::map<std::string, std::string> m;
    for (const auto& p : v.panels)
        m[p.panel] = p.text;
    return m;
}

TEST(LivePanels, ColourRulesAreStrict) {
    LiveViewState state;
    for (auto [duty, knock, dutyRed, knockRed] : {std::tuple{95.0, 3.0, false, false},
                                                  {95.5, 3.02, true, true},
                                                  {0.0, 0.0, false, false}}) {
        LiveRecord r;
        r.InjDuty = duty;
        r.FsensotKNOCkVoltage = knock;
        const auto v = LiveValues(r, state, ',');
        EXPECT_EQ(v.injDutyRed, dutyRed) << duty;
        EXPECT_EQ(v.knockRed, knockRed) << knock;
    }
}

TEST(LivePanels, TextsFuelRateAndInjectionAngles) {
    LiveViewState state;
    LiveRecord r;
    r.FsensorCarSpeed = 60;
    r.FsensorFuelTimeRate = 6;
    r.FsensorCrankshaftSpeed = 6000;
    r.FsensorFuelTimeLength = 10;
    r.FsensorVoltage = 13.5;
    r.flag_zone_O2 = 1;
    auto v = LiveValues(r, state, ',');
    auto m = Panels(v);
    EXPECT_EQ(m["RzPanel35"], "10");
    EXPECT_EQ(m["voltage_panel"], "13,5");
    EXPECT_EQ(m["Panel1"], "13,5");
    EXPECT_EQ(v.dkZone, "ДК Зона : есть");
    EXPECT_EQ(v.dkReady, "ДК Готов : нет");
    EXPECT_EQ(state.FazaUozInjTime, 360);
    EXPECT_EQ(state.FazaGenInjTime, 270);
    r.FsensorCarSpeed = 0;
    r.FsensorCrankshaftSpeed = 3000;
    r.FsensorFuelTimeLength = 5;
    m = Panels(LiveValues(r, state, ','));
    EXPECT_EQ(m["RzPanel35"], "10");  // speed 0 keeps the last value
    EXPECT_EQ(state.FazaUozInjTime, 90);
    EXPECT_EQ(state.FazaGenInjTime, 180);
    r.FsensorCrankshaftSpeed = 6000;
    r.FsensorFuelTimeLength = 25;
    LiveValues(r, state, ',');
    EXPECT_EQ(state.FazaUozInjTime, 900);
    EXPECT_EQ(state.FazaGenInjTime, 700);
    r.FsensorFuelTimeLength = 0;
    LiveValues(r, state, ',');
    EXPECT_EQ(state.FazaUozInjTime, 900);
}

}  // namespace
}  // namespace veltrano
