#include "editing/table_changes.h"

namespace veltrano {

int TableChanges::Subscribe(Listener listener) {
    const int id = next_++;
    listeners_[id] = std::move(listener);
    return id;
}

void TableChanges::Unsubscribe(int id) {
    listeners_.erase(id);
}

void TableChanges::Notify(const TableChange& change) const {
    // A listener may unsubscribe itself: walk a copy.
    const auto listeners = listeners_;
    for (const auto& [id, fn] : listeners)
        fn(change);
}

}  // namespace veltrano
