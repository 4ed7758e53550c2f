// Undo and redo, compare marks and revert for the window's table grids, over the core edit
// model. It also keeps the grids, the marks and the ECU in step with every "table changed".
#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <map>
#include <set>

#include "app/grid_view.h"
#include "editing/table_editor.h"

class QAction;
class QMenu;
class QWidget;

namespace veltrano {

class QtMessages;

class TableEditActions : public QObject {
    Q_OBJECT
  public:
    struct Hooks {
        std::function<GridView*(const QString& name)> grid;
        std::function<void()> replayDeferred;  // boxes raised under the grids' lock
        std::function<void(const QString&)> status;
    };
    TableEditActions(QWidget* window, TableEditor& editor, std::mutex& gridsMutex,
                     QtMessages& messages, Hooks hooks);
    ~TableEditActions() override;

    // Marks and tooltips on the table grids.
    void Attach();
    // The undo, redo, revert and compare items of a grid's menu.
    void AddToMenu(QMenu& menu, GridView* view);

    QAction* UndoAction() const { return undo_; }
    QAction* RedoAction() const { return redo_; }
    void Undo();
    void Redo();
    void RevertSelection(GridView* view);
    void RevertTable(GridView* view);
    // Compares with another image of the same variant; false (with a message) otherwise.
    bool CompareWithFile(const QString& path);
    void CompareWithOpened();
    // After an open or anything else that refilled the grids outside the edit model.
    void RefreshAll();

    bool Marked(TableId id, int c, int r) const;

  signals:
    // After every edit, undo, redo and revert: the table whose cells changed (a view of the
    // table follows it).
    void tableChanged(veltrano::TableId table);

  private:
    void OnChanged(const TableChange& change);
    void RefreshMarks(TableId id);
    void UpdateActions();
    QString Tip(TableId id, int c, int r) const;
    std::vector<CellRef> SelectedCells(GridView* view, TableId id) const;

    QWidget* window_;
    TableEditor& editor_;
    std::mutex& gridsMutex_;
    QtMessages& messages_;
    Hooks hooks_;
    int subscription_ = 0;
    QAction* undo_ = nullptr;
    QAction* redo_ = nullptr;
    std::map<TableId, std::set<CellRef>> marks_;
    QString comparedFile_;
};

}  // namespace veltrano
