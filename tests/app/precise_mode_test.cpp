// The precise learning mode in the window: its radio beside "Alg2", the options it sends the
// cycle, the lock buttons and the RT grid's colours.
#include <QAction>
#include <QButtonGroup>
#include <QRadioButton>

#include "app/cell_colours.h"
#include "app/precise_colours.h"
#include "app/precise_controls.h"
#include "calibration/demo_image.h"
#include "window_fixture.h"

namespace veltrano {
namespace {

using PreciseWindow = Window;

TEST_F(PreciseWindow, PreciseRadioSitsBesideAlg2AndAlg2StaysTheDefault) {
    TMainForm& w = Make();
    auto* alg2 = w.Control<QRadioButton>("RadioButton2");
    auto* precise = w.Control<QRadioButton>("RadioPrecise");
    ASSERT_NE(precise, nullptr);
    EXPECT_EQ(precise->text().toStdString(), "Точный");
    EXPECT_EQ(precise->parentWidget(), alg2->parentWidget());
    ASSERT_NE(precise->group(), nullptr);
    EXPECT_EQ(precise->group(), alg2->group());
    EXPECT_TRUE(alg2->isChecked());
    EXPECT_FALSE(precise->isEnabled());  // until an image is opened
    EXPECT_EQ(w.Engine().Options().mode, LearningMode::Alg2);

    ASSERT_TRUE(w.OpenFirmwareBytes(MakeDemoImage(DefaultDemoOptions()), "demo.bin"));
    EXPECT_TRUE(precise->isEnabled());
    precise->setChecked(true);
    EXPECT_FALSE(alg2->isChecked());
    EXPECT_EQ(w.Engine().Options().mode, LearningMode::Precise);
    alg2->setChecked(true);
    EXPECT_EQ(w.Engine().Options().mode, LearningMode::Alg2);
}

TEST_F(PreciseWindow, LockButtonsLockAndFreeTheSelectedCells) {
    TMainForm& w = Make();
    ASSERT_TRUE(w.OpenFirmwareBytes(MakeDemoImage(DefaultDemoOptions()), "demo.bin"));
    w.SetActivePage(TMainForm::kPcn);
    w.Grid("SG_PCN")->SelectCells({3, 4, 5, 6});
    w.findChild<QAction*>("LockCells")->trigger();
    const PreciseMap locked = w.Engine().PaintState().precise;
    int count = 0;
    for (int c = 1; c <= 16; ++c)
        for (int r = 1; r <= 16; ++r)
            count += locked[c][r].locked;
    EXPECT_EQ(count, 9);
    EXPECT_TRUE(locked[3][4].locked);
    EXPECT_TRUE(locked[5][6].locked);
    w.Grid("SG_PCN")->SelectCells({4, 5, 4, 5});
    w.findChild<QAction*>("UnlockCells")->trigger();
    EXPECT_FALSE(w.Engine().PaintState().precise[4][5].locked);
    EXPECT_TRUE(w.Engine().PaintState().precise[3][4].locked);
}

TEST(PreciseColours, RtGridShowsTheMapOnlyInThePreciseMode) {
    PaintState s;
    s.EcuConnected = true;
    s.op.RPM_RT = 9;
    s.op.LoadIndex = 9;
    s.precise[2][2] = {0.0, true, false, false};
    s.precise[3][3] = {1.0, true, false, false};
    s.precise[4][4] = {1.0, true, true, false};
    s.precise[5][5] = {0.3, true, true, true};
    s.precise[9][9] = {1.0, true, true, true};  // the operating point stays on top
    struct Case {
        int c, r;
        std::optional<Rgb> precise;
    };
    const Case cases[] = {{1, 1, std::nullopt}, {2, 2, kUnsureAmber}, {3, 3, kSureGreen},
                          {4, 4, kTunedTeal},   {5, 5, kLockedSlate}, {9, 9, kPointGreen}};
    for (const Case& k : cases) {
        SCOPED_TRACE(std::to_string(k.c));
        s.preciseMode = false;
        const auto alg2 = PaintCell(PaintedGrid::RT, k.c, k.r, s);
        EXPECT_EQ(alg2.has_value(), k.c == 9);
        s.preciseMode = true;
        const auto precise = PaintCell(PaintedGrid::RT, k.c, k.r, s);
        EXPECT_EQ(precise ? std::optional<Rgb>(precise->fill) : std::nullopt, k.precise);
        // The other grids keep their rules.
        EXPECT_EQ(PaintCell(PaintedGrid::PCN, k.c, k.r, s).has_value(), k.c == 9);
    }
}

}  // namespace
}  // namespace veltrano
