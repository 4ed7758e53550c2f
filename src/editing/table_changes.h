// "Table changed": which table, which cells. The window's grids, the 3D view and the on-line
// write listen; the edit model tells them after every edit, undo, redo and revert.
#pragma once

#include <functional>
#include <map>
#include <vector>

#include "editing/edited_tables.h"

namespace veltrano {

// Who changed the cells. A key step, transform or generator already wrote to the ECU by its own
// rules, and so did a learning update; the others still have to.
enum class ChangeSource { Handler, Value, History, Learning };

struct TableChange {
    TableId table = TableId::PCN;
    std::vector<CellRef> cells;
    ChangeSource source = ChangeSource::Value;
};

class TableChanges {
  public:
    using Listener = std::function<void(const TableChange&)>;
    // Returns an id for Unsubscribe.
    int Subscribe(Listener listener);
    void Unsubscribe(int id);
    void Notify(const TableChange& change) const;

  private:
    std::map<int, Listener> listeners_;
    int next_ = 1;
};

}  // namespace veltrano
