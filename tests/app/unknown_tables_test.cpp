// Images whose table addresses the layout does not know: the four tables are shown empty and
// disabled with a notice, take no keys or menu actions, and nothing reaches image or ECU.
#include <gtest/gtest.h>

#include <QTest>
#include <algorithm>

#include "app/main_window.h"
#include "calibration/calibration_file.h"
#include "calibration/demo_image.h"
#include "common/messages.h"
#include "tests/app/window_fixture.h"

namespace veltrano {
namespace {

constexpr const char* kTables[] = {"SG_PCN", "SG_BCN", "SG_UOZ", "SG_AFR"};

TEST_F(Window, TablesWithoutAddressesAreEmptyDisabledAndSayWhy) {
    struct Case {
        const char* variant;
        bool known;
    } cases[] = {
        {"J7SPT", false}, {"J5SPT", false}, {"J5.1", false}, {"unknown", false}, {"J7.2", true}};
    TMainForm& w = Make();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.variant);
        DemoImageOptions o = DefaultDemoOptions();
        o.variant = c.variant;
        o.dad = o.dadUozAfr = false;
        const std::vector<std::uint8_t> image = MakeDemoImage(o);
        ASSERT_TRUE(w.OpenFirmwareBytes(image, "image.bin"));
        for (const char* name : kTables) {
            SCOPED_TRACE(name);
            GridView* view = w.Grid(name);
            EXPECT_EQ(view->isEnabled(), c.known);
            EXPECT_EQ(view->Notice().isEmpty(), c.known);
            if (!c.known) {
                EXPECT_EQ(view->Notice(), "Адреса таблиц этой прошивки неизвестны");
                EXPECT_TRUE(view->Model()->Grid()->Cell(1, 1).empty());
            }
        }
        if (c.known)
            continue;
        // Keys, menu actions and the generator change nothing; the saved image is the opened one.
        TextGrid& pcn = w.Image().grids.SG_PCN;
        w.Grid("SG_PCN")->SelectCells({1, 1, 2, 2});
        QTest::keyClick(w.Grid("SG_PCN"), Qt::Key_Plus, Qt::NoModifier);
        w.SetActivePage(TMainForm::kPcn);
        w.Transform(TransformKind::Smooth);
        w.Transform(TransformKind::X);
        w.GenerateUoz();
        EXPECT_TRUE(pcn.Cell(1, 1).empty());
        EXPECT_TRUE(w.Image().grids.SG_UOZ.Cell(1, 1).empty());
        RecordedMessages quiet;
        ASSERT_TRUE(EncodeGridsForSave(w.Image(), quiet, ','));
        EXPECT_TRUE(std::equal(image.begin(), image.begin() + 0xFFFA,
                               w.Image().firmware.FFirmwareData.begin()));
    }
}

}  // namespace
}  // namespace veltrano
