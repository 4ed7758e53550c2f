// Sessions seen into: the trouble-code list and the gate panel while connected, then the
// demo drive's log in the viewer (three panes and the cursor, the per-cell map), the table
// learned from it, and its replay.
#include <QDir>
#include <QFileInfo>
#include <QPushButton>
#include <QTabWidget>

#include "analysis/replay_source.h"
#include "app/cell_map_view.h"
#include "app/log_actions.h"
#include "app/log_learning_dialog.h"
#include "app/log_replay.h"
#include "app/log_viewer.h"
#include "app/main_window.h"
#include "app/plot_view.h"
#include "app/screenshots.h"

namespace veltrano {

namespace {

// The newest session log of the window's log folder.
QString NewestLog(const TMainForm& window) {
    const QFileInfoList logs =
        QDir(window.LogFolder()).entryInfoList({"*.csv"}, QDir::Files, QDir::Time);
    return logs.isEmpty() ? QString() : logs.front().absoluteFilePath();
}

// The cell with the most rows.
QPoint BusiestCell(const MapCells& cells) {
    QPoint best(1, 1);
    for (int c = 1; c <= 16; ++c)
        for (int r = 1; r <= 16; ++r)
            if (cells[size_t(c)][size_t(r)].rows > cells[size_t(best.x())][size_t(best.y())].rows)
                best = QPoint(c, r);
    return best;
}

}  // namespace

void AddSessionScenes(ScreenshotTour& tour) {
    TMainForm& window = tour.Window();
    tour.Then(500, [&window] { window.Connect(); });
    tour.Then(8000, [&window] {
        window.SetActivePage(TMainForm::kErrors);
        window.Control<QPushButton>("ReadErrorsButton")->click();
    });
    tour.Then(1500, [&window] { window.Control<QPushButton>("ClearErrorsButton")->click(); });
    tour.Then(1500, [&tour, &window] {
        tour.Save(window, "8_trouble_codes");
        window.SetActivePage(TMainForm::kPcn);
    });
    tour.Then(300, [&tour, &window] {
        tour.Save(window, "9_gate_panel");
        window.Disconnect();
    });
    tour.Then(500, [&tour, &window] {
        LogViewer* viewer = window.Logs().OpenViewer(NewestLog(window));
        if (!viewer)
            return;
        viewer->resize(1024, 570);  // a small laptop's screen
        PlotView* plots = viewer->Plots();
        plots->SetCursorRow(int(viewer->Table()->Rows() * 3 / 5));
    });
    tour.Then(500, [&tour, &window] {
        if (window.Logs().Viewers().empty())
            return;
        LogViewer* viewer = window.Logs().Viewers().back();
        tour.Save(*viewer, "10_log_viewer");
        viewer->Tabs()->setCurrentWidget(viewer->Map());
        const QPoint cell = BusiestCell(viewer->Map()->Cells());
        viewer->Map()->Pick(cell.x(), cell.y());
    });
    tour.Then(500, [&tour, &window] {
        if (window.Logs().Viewers().empty())
            return;
        LogViewer* viewer = window.Logs().Viewers().back();
        tour.Save(*viewer, "11_cell_map");
        viewer->Tabs()->setCurrentWidget(viewer->Plots());
    });
    tour.Then(500, [&tour, &window] {
        if (window.Logs().Viewers().empty())
            return;
        LogViewer* viewer = window.Logs().Viewers().back();
        tour.Save(*viewer, "12_cell_rows_in_plots");
        viewer->close();
        if (LogLearningDialog* dialog = window.Logs().LearnFromLog(NewestLog(window))) {
            dialog->adjustSize();
            tour.Save(*dialog, "13_learned_from_log");
            dialog->close();
        }
        if (LogReplay* replay = window.Logs().StartReplay(NewestLog(window))) {
            replay->SetSpeed(4);
            replay->Source().Play();
        }
    });
    tour.Then(2500, [&tour, &window] {
        LogReplay* replay = window.Logs().Replay();
        if (!replay)
            return;
        window.SetActivePage(TMainForm::kPcn);
        replay->Source().Pause();
        replay->Sync();
        tour.Save(window, "14_replay");
        tour.Save(*replay, "15_replay_controls");
        window.Logs().StopReplay();
    });
}

}  // namespace veltrano
