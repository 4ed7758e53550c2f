// The table edit model in the window: its owner objects, the grids' menu items and the note in
// the status bar.
#include <QLabel>
#include <QMenu>
#include <QStatusBar>
#include <QTimer>

#include "app/app_texts.h"
#include "app/learning_edits.h"
#include "app/main_window.h"
#include "app/table_edit_actions.h"
#include "app/value_entry.h"
#include "editing/online_table_write.h"

namespace veltrano {
namespace t = app_texts;

void TMainForm::InstallTableEdits() {
    tableEditor_ = std::make_unique<TableEditor>(calib_, &gridsMutex_);
    TableEditActions::Hooks hooks;
    hooks.grid = [this](const QString& name) { return Grid(name); };
    hooks.replayDeferred = [this] { ReplayDeferred(); };
    hooks.status = [this](const QString& text) { ShowTableNote(text); };
    editActions_ = new TableEditActions(this, *tableEditor_, gridsMutex_, *messages_, hooks);
    tableEditor_->SetOnlineWrite([this](TableId id) {
        EditContext ctx = MakeEditContext();
        WriteTableOnline(ctx, calib_.grids, id);
    });
    valueEntry_ = new ValueEntry(this, *tableEditor_, *messages_,
                                 [this](const QString& text) { ShowTableNote(text); });
    editActions_->Attach();
    for (TableId id : kAllTables)
        valueEntry_->Attach(Grid(GridName(id)));
    for (const char* name : {"SG_PCN_32x32", "RzStringGrid1"}) {
        GridView* view = Grid(name);
        connect(view, &QWidget::customContextMenuRequested, this,
                [this, view](const QPoint& p) { ShowGridMenu(view, p, false); });
    }
    learningEdits_ = std::make_unique<LearningEdits>(nullptr, calib_, *tableEditor_);
    engine_.SetUpdateObserver(learningEdits_.get());

    tableNote_ = new QLabel(this);
    tableNote_->setObjectName("TableNote");
    tableNote_->setMaximumWidth(360);
    statusBar()->addPermanentWidget(tableNote_);
    tableNoteTimer_ = new QTimer(this);
    tableNoteTimer_->setSingleShot(true);
    connect(tableNoteTimer_, &QTimer::timeout, tableNote_, &QLabel::clear);
}

void TMainForm::ShowTableNote(const QString& text) {
    tableNote_->setText(text);
    tableNote_->setToolTip(text);
    if (!text.isEmpty())
        tableNoteTimer_->start(8000);
}

void TMainForm::FillGridMenu(QMenu& menu, GridView* grid, bool second) {
    menu.setObjectName("GridMenu");
    const QString name = grid->objectName();
    const bool table = name == "SG_BCN" || name == "SG_PCN" || name == "SG_AFR" || name == "SG_UOZ";
    if (second) {
        menu.addAction(t::kMenuExportSecond, this, &TMainForm::ExportTable);
    } else if (table) {
        menu.addAction(t::kMenuInterpolateX, this, [this] { Transform(TransformKind::X); });
        menu.addAction(t::kMenuInterpolateY, this, [this] { Transform(TransformKind::Y); });
        menu.addAction(t::kMenuSmooth, this, [this] { Transform(TransformKind::Smooth); });
        menu.addAction(t::kMenuExport, this, &TMainForm::ExportTable);
    }
    editActions_->AddToMenu(menu, grid);
    valueEntry_->AddToMenu(menu, grid);
    menu.addSeparator();
    menu.addAction(t::kSurfaceView, this, &TMainForm::ShowSurfaceView);
}

void TMainForm::ShowGridMenu(GridView* grid, const QPoint& pos, bool second) {
    QMenu menu(grid);
    FillGridMenu(menu, grid, second);
    menu.exec(grid->viewport()->mapToGlobal(pos));
}

}  // namespace veltrano
