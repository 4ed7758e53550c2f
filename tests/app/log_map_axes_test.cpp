// The per-cell map's headers: the open image's fuel table axes as the PCN grid labels them,
// or without an image the lowest rpm and throttle the log shows in each column and row; the
// labels fit their cells at the viewer's size.
#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QTest>

#include "app/cell_map_view.h"
#include "app/grid_view.h"
#include "app/log_actions.h"
#include "app/log_viewer.h"
#include "calibration/demo_image.h"
#include "common/text_forms.h"
#include "tests/app/log_fixture.h"
#include "tests/app/window_fixture.h"

namespace veltrano {
namespace {

// Cell (3, 2) at 1000-1300 rpm and 5-8 % throttle, then (5, 4) at 1400-1900 rpm, 9-14 %;
// on the pressure axis rows 7, then 9.
std::vector<LogFixtureRow> Drive() {
    std::vector<LogFixtureRow> rows;
    for (int i = 0; i < 10; ++i) {
        LogFixtureRow r;
        r.seconds = 36000 + i;
        r.rpm = 1000 + 100 * i;
        r.tps = 5 + i + (i == 4 ? 0.25 : 0);
        r.rpmRt = i < 4 ? 3 : 5;
        r.trtRt = i < 4 ? 2 : 4;
        r.dadRt = i < 4 ? 7 : 9;
        rows.push_back(r);
    }
    return rows;
}

class MapAxesTest : public Window {
  protected:
    LogViewer* Open(TMainForm& w) {
        const auto path = WriteFixtureLog(dir / "Logs", "(10.12.26_10.00)", Drive());
        return w.Logs().OpenViewer(QString::fromStdString(path.string()));
    }
};

TEST_F(MapAxesTest, HeadersAreTheImagesAxesAsThePcnGridShowsThem) {
    TMainForm& w = Make();
    ASSERT_TRUE(w.OpenFirmwareBytes(MakeDemoImage(DefaultDemoOptions()), "demo.bin"));
    ASSERT_TRUE(w.Image().layout.FlagPcnGridDad);  // its fuel table runs on pressure
    LogViewer* v = Open(w);
    ASSERT_NE(v, nullptr);
    const QStringList& columns = v->Map()->ColumnLabels();
    const QStringList& rows = v->Map()->RowLabels();
    ASSERT_EQ(columns.size(), 16);
    ASSERT_EQ(rows.size(), 16);
    const GridView* pcn = w.Grid("SG_PCN");
    ASSERT_NE(pcn, nullptr);
    for (int k = 0; k < 16; ++k) {
        const auto& fw = w.Image().firmware;
        EXPECT_EQ(columns[k].toStdString(), IntegerText(fw.FRPMAxis[size_t(k)])) << k;
        EXPECT_EQ(rows[k].toStdString(), IntegerText(fw.FDADAxis[size_t(k)])) << k;
        EXPECT_EQ(columns[k], pcn->model()->headerData(k, Qt::Horizontal).toString()) << k;
        EXPECT_EQ(rows[k], pcn->model()->headerData(k, Qt::Vertical).toString()) << k;
    }
    // The rows lie on the table's load axis, pressure (the first row of each run is not
    // stationary).
    EXPECT_EQ(v->Map()->Cells()[3][7].rows, 3);
    EXPECT_EQ(v->Map()->Cells()[5][9].rows, 5);
    EXPECT_EQ(v->Map()->Cells()[3][2].rows, 0);
}

TEST_F(MapAxesTest, WithoutAnImageHeadersAreTheLowestValuesTheLogShows) {
    TMainForm& w = Make();
    ASSERT_FALSE(w.Image().layout.FirmwareLoaded);
    LogViewer* v = Open(w);
    ASSERT_NE(v, nullptr);
    QStringList columns(16, "—"), rows(16, "—");
    columns[2] = "1000";
    columns[4] = "1400";
    rows[1] = "5";
    rows[3] = "9.3";  // 9.25 % logged, shown to a tenth
    EXPECT_EQ(v->Map()->ColumnLabels(), columns);
    EXPECT_EQ(v->Map()->RowLabels(), rows);
}

TEST_F(MapAxesTest, LabelsFitTheirCellsAtTheViewersSize) {
    TMainForm& w = Make();
    ASSERT_TRUE(w.OpenFirmwareBytes(MakeDemoImage(DefaultDemoOptions()), "demo.bin"));
    LogViewer* v = Open(w);
    ASSERT_NE(v, nullptr);
    v->Tabs()->setCurrentWidget(v->Map());
    ASSERT_TRUE(QTest::qWaitForWindowExposed(v));
    CellMapView* map = v->Map();
    const QFontMetrics fm(map->LabelFont());
    for (int k = 1; k <= 16; ++k) {
        const QRectF column = map->ColumnLabelRect(k);
        const QRectF row = map->RowLabelRect(k);
        EXPECT_LE(fm.horizontalAdvance(map->ColumnLabels()[k - 1]), column.width()) << k;
        EXPECT_LE(fm.height(), column.height()) << k;
        EXPECT_LE(fm.horizontalAdvance(map->RowLabels()[k - 1]), row.width()) << k;
        EXPECT_LE(fm.height(), row.height()) << k;
    }
}

}  // namespace
}  // namespace veltrano
