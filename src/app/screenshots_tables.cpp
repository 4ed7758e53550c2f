// Working with tables: the compare marks with a tooltip, the grid menu and the selection maths
// dialog, all off line on a freshly opened demo image.
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QToolTip>
#include <algorithm>

#include "app/main_window.h"
#include "app/screenshots.h"
#include "app/table_edit_actions.h"
#include "app/value_entry.h"
#include "calibration/demo_image.h"

namespace veltrano {
namespace {

// The window with a popup (a tooltip, a menu or a dialog) drawn where it would appear.
std::unique_ptr<QLabel> Composed(QWidget& window, QWidget& popup, QPoint at) {
    QPixmap picture = window.grab();
    QPainter p(&picture);
    p.drawPixmap(at, popup.grab());
    p.setPen(Qt::darkGray);
    p.drawRect(QRect(at, popup.size()).adjusted(0, 0, -1, -1));
    p.end();
    auto label = std::make_unique<QLabel>();
    label->setPixmap(picture);
    label->resize(picture.size());
    return label;
}

QPoint InWindow(TMainForm& window, GridView* view, int c, int r) {
    const QModelIndex at = view->model()->index(r - 1, c - 1);
    const QRect cell = view->visualRect(at);
    return view->viewport()->mapTo(&window, cell.bottomRight());
}

}  // namespace

void AddTablesScenes(ScreenshotTour& tour) {
    TMainForm& window = tour.Window();
    tour.Then(500, [&tour, &window] {
        // The session scenes learned into the tables: a fresh image shows only these edits.
        window.OpenFirmwareBytes(MakeDemoImage(DefaultDemoOptions()), "demo.bin");
        window.SetActivePage(TMainForm::kPcn);
        GridView* view = window.Grid("SG_PCN");
        view->SelectCells({5, 6, 9, 8});
        window.Values().ApplyMaths(view, ValueOp::MultiplyPercent, 4);
        view->SelectCells({11, 3, 12, 4});
        window.Values().ApplyMaths(view, ValueOp::Add, -0.05);
        view->SelectCells({7, 7, 7, 7});
        QLabel tip(view->model()->data(view->model()->index(6, 6), Qt::ToolTipRole).toString());
        tip.setPalette(QToolTip::palette());
        tip.setAutoFillBackground(true);
        tip.setMargin(3);
        tip.adjustSize();
        auto picture = Composed(window, tip, InWindow(window, view, 7, 7));
        tour.Save(*picture, "tables_1_compare_marks");
    });
    tour.Then(300, [&tour, &window] {
        GridView* view = window.Grid("SG_PCN");
        view->SelectCells({3, 10, 6, 12});
        QMenu menu;
        window.FillGridMenu(menu, view, false);
        menu.adjustSize();
        menu.ensurePolished();
        // Where a menu would open, lifted as a menu is to stay on the screen.
        QPoint at = InWindow(window, view, 4, 10);
        const int tall = std::max(menu.height(), menu.sizeHint().height());
        at.setY(std::max(0, std::min(at.y(), window.height() - tall - 4)));
        auto picture = Composed(window, menu, at);
        tour.Save(*picture, "tables_2_grid_menu");
    });
    tour.Then(300, [&tour, &window] {
        ValueDialog dialog(ValueOp::MultiplyPercent, &window);
        dialog.Field()->setText("3,5");
        dialog.show();
        dialog.adjustSize();
        // Offscreen windows have no frame: a title strip stands for it.
        QLabel framed;
        QPixmap body = dialog.grab();
        const int title = 24;
        QPixmap whole(body.width(), body.height() + title);
        whole.fill(QColor(60, 60, 60));
        QPainter p(&whole);
        p.drawPixmap(0, title, body);
        p.setPen(Qt::white);
        p.drawText(QRect(8, 0, body.width() - 16, title), Qt::AlignVCenter, dialog.windowTitle());
        p.end();
        framed.setPixmap(whole);
        framed.resize(whole.size());
        const QPoint at((window.width() - framed.width()) / 2,
                        (window.height() - framed.height()) / 2);
        auto picture = Composed(window, framed, at);
        tour.Save(*picture, "tables_3_selection_maths");
        dialog.close();
        while (window.Edits().History().CanUndo())
            window.EditActions().Undo();
    });
}

}  // namespace veltrano
