// The 3D view as the window opens and feeds it: the table on the current tab, its labels and
// the operating point the grids paint.
#include <QAction>
#include <QGuiApplication>
#include <QScreen>
#include <QTabWidget>
#include <QToolBar>

#include "app/app_texts.h"
#include "app/icons.h"
#include "app/main_window.h"
#include "app/surface_view.h"
#include "common/text_forms.h"

namespace veltrano {
namespace t = app_texts;

namespace {

struct PageTable {
    int page;
    const char* grid;
    SurfaceTable table;
    PaintedGrid painted;
};

constexpr PageTable kPageTables[] = {
    {TMainForm::kBcn, "SG_BCN", SurfaceTable::BCN, PaintedGrid::BCN},
    {TMainForm::kPcn, "SG_PCN", SurfaceTable::PCN, PaintedGrid::PCN},
    {TMainForm::kAfr, "SG_AFR", SurfaceTable::AFR, PaintedGrid::AFR},
    {TMainForm::kUoz, "SG_UOZ", SurfaceTable::UOZ, PaintedGrid::UOZ},
    {TMainForm::kRt, "SG_RT", SurfaceTable::RT, PaintedGrid::RT},
    {TMainForm::kPcnTrt, "SG_PCN_TRT", SurfaceTable::PcnTrt, PaintedGrid::PcnTrt},
    {TMainForm::kShdk, "RzStringGrid2", SurfaceTable::Shdk, PaintedGrid::Shdk},
    {TMainForm::kPcn32, "SG_PCN_32", SurfaceTable::Pcn32, PaintedGrid::Pcn32},
    {TMainForm::kPcn32x32, "SG_PCN_32x32", SurfaceTable::Pcn32x32, PaintedGrid::Pcn32x32},
};

const PageTable* TableOnPage(int page) {
    for (const PageTable& p : kPageTables)
        if (p.page == page)
            return &p;
    return nullptr;
}

// The marker takes the grid's colour of the point; the throttle table's pale tint would
// vanish on the surface, so it takes the point green.
QColor LiveColour(const PageTable& p, const std::vector<SurfaceCell>& cells, PaintState s) {
    s.rememberMovement = false;
    std::optional<CellColour> colour;
    if (!cells.empty() && p.painted != PaintedGrid::PcnTrt)
        colour = PaintCell(p.painted, cells.front().c, cells.front().r, s);
    const Rgb rgb = colour ? colour->fill : kPointGreen;
    return QColor(rgb.r, rgb.g, rgb.b);
}

}  // namespace

SurfaceSnapshot TMainForm::SurfaceNow() {
    SurfaceSnapshot snap;
    const PageTable* p = TableOnPage(ActivePage());
    if (!p)
        return snap;
    snap.title = t::kTabs[p->page];
    GridView* view = Grid(p->grid);
    {
        std::lock_guard<std::mutex> lock(gridsMutex_);
        snap.surface = SurfaceOf(*view->Model()->Grid(), SurfaceSize(p->table), DecimalSeparator());
    }
    snap.rowAxis = RowAxisOf(p->table, calib_.layout);
    if (paint_.EcuConnected) {
        snap.liveCells = LiveCells(p->table, paint_.op, calib_.layout.FlagDadUozAfr);
        snap.liveColour = LiveColour(*p, snap.liveCells, paint_);
    }
    return snap;
}

void TMainForm::InstallSurfaceView(QToolBar* bar) {
    bar->addSeparator();
    QAction* open = bar->addAction(MakeToolIcon(ToolIcon::Surface), t::kSurfaceView);
    open->setObjectName("SurfaceViewButton");
    open->setToolTip(t::kSurfaceView);
    connect(open, &QAction::triggered, this, &TMainForm::ShowSurfaceView);
}

// Every path that changes a grid's texts reloads its model; the view follows those and the
// current tab.
void TMainForm::FollowGridsInSurfaceView() {
    auto changed = [this] {
        if (surface_)
            surface_->Changed();
    };
    connect(leftTabs_, &QTabWidget::currentChanged, this, changed);
    for (const PageTable& p : kPageTables)
        connect(Grid(p.grid)->Model(), &QAbstractItemModel::dataChanged, this, changed);
}

void TMainForm::ShowSurfaceView() {
    if (!surface_) {
        surface_ = new SurfaceView([this] { return SurfaceNow(); }, this);
        // Beside the main window when the screen has room, else over its right part.
        QPoint at = frameGeometry().topRight() + QPoint(8, 0);
        if (const QScreen* screen = QGuiApplication::primaryScreen()) {
            const QRect room = screen->availableGeometry();
            if (at.x() + surface_->width() > room.right())
                at.setX(std::max(room.left(), room.right() - surface_->width()));
            at.setY(std::clamp(at.y(), room.top(),
                               std::max(room.top(), room.bottom() - surface_->height())));
        }
        surface_->move(at);
    }
    surface_->show();
    surface_->raise();
    surface_->activateWindow();
}

}  // namespace veltrano
