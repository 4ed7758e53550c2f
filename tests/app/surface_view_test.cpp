// The 3D view of the current tab's table. Under the offscreen platform there is no OpenGL and
// the view shows its notice instead of the graph; under Xvfb the same tests check the graph.
#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QtDataVisualization/Q3DCamera>
#include <QtDataVisualization/Q3DSurface>
#include <QtDataVisualization/QCustom3DItem>
#include <QtDataVisualization/QSurface3DSeries>
#include <QtDataVisualization/QSurfaceDataProxy>
#include <QtDataVisualization/QValue3DAxis>

#include "app/app_texts.h"
#include "app/cell_colours.h"
#include "calibration/demo_image.h"
#include "common/text_forms.h"
#include "tests/app/window_fixture.h"

namespace veltrano {
namespace {
namespace t = app_texts;

using SurfaceWindow = Window;

double GridValue(TMainForm& w, const char* grid, int c, int r) {
    std::lock_guard<std::mutex> lock(w.GridsMutex());
    return *ParseNumber(w.Grid(grid)->Model()->Grid()->Cell(c, r), DecimalSeparator());
}

SurfaceView& OpenView(TMainForm& w) {
    EXPECT_TRUE(w.OpenFirmwareBytes(MakeDemoImage(DefaultDemoOptions()), "demo.bin"));
    w.SetActivePage(TMainForm::kPcn);
    w.findChild<QAction*>("SurfaceViewButton")->trigger();
    EXPECT_TRUE(w.Surface());
    return *w.Surface();
}

// The graph agrees with what the view says it shows.
void ExpectGraphShows(const SurfaceView& v) {
    if (!v.HasGraph())
        return;
    const TableSurface& s = *v.Shown().surface;
    QSurfaceDataProxy* proxy = v.Graph()->seriesList().front()->dataProxy();
    ASSERT_EQ(proxy->rowCount(), s.rows);
    ASSERT_EQ(proxy->columnCount(), s.columns);
    for (int r = 1; r <= s.rows; r += 5)
        for (int c = 1; c <= s.columns; c += 3)
            EXPECT_FLOAT_EQ(proxy->itemAt(r - 1, c - 1)->y(), float(s.Height(c, r)));
    const auto items = v.Graph()->customItems();
    ASSERT_EQ(items.size(), qsizetype(v.Shown().liveCells.size()));
    for (qsizetype i = 0; i < items.size(); ++i) {
        const SurfaceCell cell = v.Shown().liveCells[std::size_t(i)];
        EXPECT_EQ(items[i]->position(),
                  QVector3D(float(cell.c), float(s.Height(cell.c, cell.r)), float(cell.r)));
    }
}

TEST_F(SurfaceWindow, ToolbarOpensAWindowOfItsOwnBesideTheFixedMainWindow) {
    TMainForm& w = Make();
    w.show();
    SurfaceView& v = OpenView(w);
    EXPECT_TRUE(v.isVisible());
    EXPECT_TRUE(v.isWindow());
    EXPECT_EQ(w.size(), QSize(1024, 570));
    EXPECT_EQ(v.Shown().title, "PCN");
    ASSERT_TRUE(v.Shown().surface);
    EXPECT_DOUBLE_EQ(v.Shown().surface->Height(7, 9), GridValue(w, "SG_PCN", 7, 9));
    EXPECT_EQ(v.Shown().surface->columnLabels[0], w.Grid("SG_PCN")->Model()->Grid()->Cell(1, 0));
    EXPECT_TRUE(v.Shown().liveCells.empty());  // not connected
    auto* notice = v.findChild<QLabel*>("SurfaceNotice");
    if (SurfaceView::GlAvailable()) {
        EXPECT_TRUE(v.HasGraph());
        EXPECT_FALSE(notice->isVisible());
        EXPECT_EQ(v.Graph()->axisX()->title(), t::kAxisRpm);
        EXPECT_EQ(v.Graph()->axisY()->title(), "PCN");
    } else {
        EXPECT_FALSE(v.HasGraph());
        EXPECT_EQ(notice->text(), t::kSurfaceNoGl);
    }
    ExpectGraphShows(v);
    // A second press brings the same window back.
    v.hide();
    w.findChild<QAction*>("SurfaceViewButton")->trigger();
    EXPECT_EQ(w.Surface(), &v);
    EXPECT_TRUE(v.isVisible());
}

TEST_F(SurfaceWindow, GridMenuOpensTheView) {
    TMainForm& w = Make();
    w.show();
    ASSERT_TRUE(w.OpenFirmwareBytes(MakeDemoImage(DefaultDemoOptions()), "demo.bin"));
    w.SetActivePage(TMainForm::kUoz);
    bool found = false;
    QTimer::singleShot(50, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_TRUE(menu);
        for (QAction* a : menu->actions())
            if (a->text() == t::kSurfaceView) {
                found = true;
                a->trigger();
            }
        menu->close();
    });
    emit w.Grid("SG_UOZ")->customContextMenuRequested(QPoint(10, 10));
    EXPECT_TRUE(found);
    ASSERT_TRUE(w.Surface());
    EXPECT_TRUE(w.Surface()->isVisible());
    EXPECT_EQ(w.Surface()->Shown().title, "UOZ");
}

TEST_F(SurfaceWindow, FollowsTheCurrentTab) {
    TMainForm& w = Make();
    w.show();
    SurfaceView& v = OpenView(w);
    struct Case {
        int page;
        QString title;
        int size;
    };
    const Case cases[] = {{TMainForm::kUoz, "UOZ", 16},
                          {TMainForm::kBcn, "BCN", 16},
                          {TMainForm::kDiag, "", 0},
                          {TMainForm::kAfr, "AFR", 16},
                          {TMainForm::kData, "", 0}};
    for (const Case& k : cases) {
        w.SetActivePage(k.page);
        EXPECT_TRUE(QTest::qWaitFor([&] { return v.Shown().title == k.title; }, 2000)) << k.page;
        EXPECT_EQ(v.Shown().surface.has_value(), k.size > 0);
        if (k.size == 0)
            EXPECT_EQ(v.findChild<QLabel*>("SurfaceNotice")->text(),
                      v.HasGraph() ? QString(t::kSurfaceNoTable) : QString(t::kSurfaceNoGl));
        else
            ExpectGraphShows(v);
    }
}

TEST_F(SurfaceWindow, KeyEditsAreFollowedInOneCoalescedUpdate) {
    TMainForm& w = Make();
    w.show();
    SurfaceView& v = OpenView(w);
    const int before = v.Uploads();
    const double old = GridValue(w, "SG_PCN", 3, 4);
    GridView* grid = w.Grid("SG_PCN");
    grid->SelectCells({3, 4, 3, 4});
    for (int i = 0; i < 5; ++i)
        QTest::keyClick(grid, Qt::Key_A);  // the plus group
    const double edited = GridValue(w, "SG_PCN", 3, 4);
    ASSERT_GT(edited, old);
    ASSERT_TRUE(QTest::qWaitFor([&] { return v.Shown().surface->Height(3, 4) == edited; }, 2000));
    QTest::qWait(100);
    EXPECT_EQ(v.Uploads(), before + 1);
    ExpectGraphShows(v);
}

TEST_F(SurfaceWindow, FollowsLearningUpdatesAndThePointWhileConnected) {
    TMainForm& w = Make();
    w.show();
    SurfaceView& v = OpenView(w);
    // A learning update writes the grid under the lock and reports it; the refresh pulls it.
    {
        std::lock_guard<std::mutex> lock(w.GridsMutex());
        w.Image().grids.SG_PCN.SetCell(2, 2, "1,5");
    }
    w.View().GridsChanged();
    w.RefreshLive();
    ASSERT_TRUE(QTest::qWaitFor([&] { return v.Shown().surface->Height(2, 2) == 1.5; }, 2000));

    struct Case {
        bool connected;
        int hits;
        std::vector<SurfaceCell> cells;
        QColor colour;
    };
    const QColor green(51, 153, 0), purple(128, 0, 128);
    const Case cases[] = {
        {true, 0, {{5, 6}}, green}, {true, 2, {{5, 6}}, purple}, {false, 2, {}, QColor()}};
    for (const Case& k : cases) {
        PaintState& p = w.Paint();
        p.EcuConnected = k.connected;
        p.op.RPM_RT = 5;
        p.op.LoadIndex = 6;
        p.LearnHits[5][6] = k.hits;
        v.RefreshNow();
        EXPECT_EQ(v.Shown().liveCells, k.cells);
        EXPECT_EQ(v.Shown().liveColour, k.colour);
        ExpectGraphShows(v);
    }
}

TEST_F(SurfaceWindow, ResetViewRestoresTheCamera) {
    TMainForm& w = Make();
    w.show();
    SurfaceView& v = OpenView(w);
    if (!v.HasGraph())
        GTEST_SKIP() << "no OpenGL on this platform";
    Q3DCamera* camera = v.Graph()->scene()->activeCamera();
    const float x = camera->xRotation(), y = camera->yRotation();
    camera->setXRotation(x + 40);
    camera->setZoomLevel(250);
    v.ResetView();
    EXPECT_FLOAT_EQ(camera->xRotation(), x);
    EXPECT_FLOAT_EQ(camera->yRotation(), y);
    EXPECT_FLOAT_EQ(camera->zoomLevel(), 75);
}

// The marker sits on exactly the cells the grids paint as the operating point.
TEST(SurfaceCells, AreTheCellsTheGridsPaint) {
    const std::pair<SurfaceTable, PaintedGrid> tables[] = {
        {SurfaceTable::BCN, PaintedGrid::BCN},
        {SurfaceTable::PCN, PaintedGrid::PCN},
        {SurfaceTable::AFR, PaintedGrid::AFR},
        {SurfaceTable::UOZ, PaintedGrid::UOZ},
        {SurfaceTable::RT, PaintedGrid::RT},
        {SurfaceTable::PcnTrt, PaintedGrid::PcnTrt},
        {SurfaceTable::Shdk, PaintedGrid::Shdk},
        {SurfaceTable::Pcn32, PaintedGrid::Pcn32},
        {SurfaceTable::Pcn32x32, PaintedGrid::Pcn32x32}};
    const OperatingCell ops[] = {{5, 7, 9, 20, 31, 9},
                                 {1, 1, 1, 1, 1, 1},
                                 {16, 3, 3, 32, 32, 3},
                                 {4, 16, 2, 2, 30, 16},
                                 {0, 0, 0, 0, 0, 0}};
    for (const auto& [table, painted] : tables) {
        for (const OperatingCell& op : ops) {
            for (bool dadUozAfr : {false, true}) {
                PaintState s;
                s.EcuConnected = true;
                s.op = op;
                s.FlagDadUozAfr = dadUozAfr;
                std::vector<SurfaceCell> paintedCells;
                const int n = SurfaceSize(table);
                for (int r = 1; r <= n; ++r)
                    for (int c = 1; c <= n; ++c)
                        if (PaintCell(painted, c, r, s))
                            paintedCells.push_back({c, r});
                std::vector<SurfaceCell> live = LiveCells(table, op, dadUozAfr);
                auto order = [](SurfaceCell a, SurfaceCell b) {
                    return std::tie(a.r, a.c) < std::tie(b.r, b.c);
                };
                std::sort(live.begin(), live.end(), order);
                EXPECT_EQ(live, paintedCells)
                    << int(table) << " op " << op.RPM_RT << "," << op.LoadIndex;
            }
        }
    }
}

}  // namespace
}  // namespace veltrano
