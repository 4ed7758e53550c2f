#include "app/table_edit_actions.h"

#include <QAction>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QWidget>

#include "app/app_texts.h"
#include "app/file_dialogs.h"
#include "app/qt_messages.h"
#include "common/text_forms.h"
#include "editing/compare_tip.h"

namespace veltrano {
namespace t = app_texts;

TableEditActions::TableEditActions(QWidget* window, TableEditor& editor, std::mutex& gridsMutex,
                                   QtMessages& messages, Hooks hooks)
    : QObject(window),
      window_(window),
      editor_(editor),
      gridsMutex_(gridsMutex),
      messages_(messages),
      hooks_(std::move(hooks)) {
    undo_ = new QAction(t::kMenuUndo, this);
    undo_->setObjectName("UndoAction");
    undo_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    redo_ = new QAction(t::kMenuRedo, this);
    redo_->setObjectName("RedoAction");
    redo_->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    for (QAction* a : {undo_, redo_}) {
        a->setShortcutContext(Qt::WindowShortcut);
        window_->addAction(a);
    }
    connect(undo_, &QAction::triggered, this, &TableEditActions::Undo);
    connect(redo_, &QAction::triggered, this, &TableEditActions::Redo);
    subscription_ = editor_.Changes().Subscribe([this](const TableChange& c) { OnChanged(c); });
    UpdateActions();
}

TableEditActions::~TableEditActions() {
    editor_.Changes().Unsubscribe(subscription_);
}

void TableEditActions::Attach() {
    for (TableId id : kAllTables) {
        GridView* view = hooks_.grid(GridName(id));
        if (view == nullptr)
            continue;
        view->Model()->markRule = [this, id](int c, int r) { return Marked(id, c, r); };
        view->Model()->tipRule = [this, id](int c, int r) { return Tip(id, c, r); };
    }
}

bool TableEditActions::Marked(TableId id, int c, int r) const {
    const auto it = marks_.find(id);
    return it != marks_.end() && it->second.contains({c, r});
}

QString TableEditActions::Tip(TableId id, int c, int r) const {
    if (!Marked(id, c, r))
        return {};
    const auto ref = editor_.ReferenceByte(id, {c, r});
    if (!ref)
        return {};
    const int m = editor_.BcnMultiplier();
    const char sep = DecimalSeparator();
    std::string now;
    {
        std::lock_guard<std::mutex> lock(gridsMutex_);
        now = hooks_.grid(GridName(id))->Model()->Grid()->Cell(c, r);
    }
    // The change in percent of the two texts the tip shows, so that it reads true.
    const std::string was = ByteTextOf(id, *ref, m, sep);
    return QString::fromStdString(CompareTip(was, ParseNumber(was, sep).value_or(0), now,
                                             ParseNumber(now, sep).value_or(0), sep));
}

void TableEditActions::RefreshMarks(TableId id) {
    std::vector<CellRef> cells;
    {
        std::lock_guard<std::mutex> lock(gridsMutex_);
        cells = editor_.DifferingCells(id);
    }
    marks_[id] = std::set<CellRef>(cells.begin(), cells.end());
}

void TableEditActions::RefreshAll() {
    for (TableId id : kAllTables) {
        RefreshMarks(id);
        if (GridView* view = hooks_.grid(GridName(id)))
            view->viewport()->update();
    }
    UpdateActions();
}

void TableEditActions::OnChanged(const TableChange& change) {
    // Boxes the on-line write raised under the grids' lock.
    hooks_.replayDeferred();
    RefreshMarks(change.table);
    if (GridView* view = hooks_.grid(GridName(change.table)))
        view->Model()->Reload();
    UpdateActions();
    emit tableChanged(change.table);
}

void TableEditActions::UpdateActions() {
    const EditHistory& h = editor_.History();
    undo_->setEnabled(h.CanUndo());
    redo_->setEnabled(h.CanRedo());
    const auto named = [](const char* verb, bool can, const std::string& what) {
        return can ? QString(verb) + ": " + QString::fromStdString(what) : QString(verb);
    };
    undo_->setText(named(t::kMenuUndo, h.CanUndo(), h.UndoWhat()));
    redo_->setText(named(t::kMenuRedo, h.CanRedo(), h.RedoWhat()));
}

void TableEditActions::Undo() {
    editor_.Undo();
    UpdateActions();
}

void TableEditActions::Redo() {
    editor_.Redo();
    UpdateActions();
}

std::vector<CellRef> TableEditActions::SelectedCells(GridView* view, TableId id) const {
    std::vector<CellRef> out;
    const CellRect s = view->Selection();
    if (s.Empty())
        return out;
    const ValueArea a = AreaOf(id);
    for (int r = s.top; r <= s.bottom; ++r) {
        for (int c = s.left; c <= s.right; ++c) {
            if (a.Contains(c, r))
                out.push_back({c, r});
        }
    }
    return out;
}

void TableEditActions::RevertSelection(GridView* view) {
    const auto id = TableByGridName(view->objectName().toStdString());
    if (id && editor_.Editable(*id))
        editor_.RevertCells(*id, SelectedCells(view, *id));
}

void TableEditActions::RevertTable(GridView* view) {
    const auto id = TableByGridName(view->objectName().toStdString());
    if (id && editor_.Editable(*id)) {
        std::vector<CellRef> all;
        const ValueArea a = AreaOf(*id);
        for (int r = a.firstRow; r <= a.lastRow; ++r) {
            for (int c = a.firstCol; c <= a.lastCol; ++c)
                all.push_back({c, r});
        }
        editor_.RevertCells(*id, all);
    }
}

bool TableEditActions::CompareWithFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        messages_.Warning((QString(t::kCannotRead) + path).toStdString(), t::kErrorCaption);
        return false;
    }
    const QByteArray data = file.readAll();
    std::vector<std::uint8_t> bytes(data.begin(), data.end());
    const std::string refusal = editor_.CheckSameVariant(bytes);
    if (!refusal.empty()) {
        messages_.Warning(refusal, t::kErrorCaption);
        return false;
    }
    editor_.SetReference(std::move(bytes));
    comparedFile_ = QFileInfo(path).fileName();
    hooks_.status(QString(t::kComparingWith) + comparedFile_);
    RefreshAll();
    return true;
}

void TableEditActions::CompareWithOpened() {
    editor_.CompareWithOpened();
    comparedFile_.clear();
    hooks_.status(QString());
    RefreshAll();
}

void TableEditActions::AddToMenu(QMenu& menu, GridView* view) {
    const auto id = TableByGridName(view->objectName().toStdString());
    menu.addSeparator();
    menu.addAction(undo_);
    menu.addAction(redo_);
    if (!id)
        return;
    menu.addSeparator();
    const bool editable = editor_.Editable(*id);
    menu.addAction(t::kMenuRevert, this, [this, view] { RevertSelection(view); })
        ->setEnabled(editable);
    menu.addAction(t::kMenuRevertTable, this, [this, view] { RevertTable(view); })
        ->setEnabled(editable);
    menu.addAction(t::kMenuCompareFile, this,
                   [this] {
                       const QString path = AskOpenFileName(window_);
                       if (!path.isEmpty())
                           CompareWithFile(path);
                   })
        ->setObjectName("CompareFileAction");
    if (!comparedFile_.isEmpty())
        menu.addAction(t::kMenuCompareOpened, this, &TableEditActions::CompareWithOpened);
}

}  // namespace veltrano
