#include "analysis/log_table.h"

#include <algorithm>

namespace veltrano {

std::size_t LogTable::RowAtOrAfter(double t) const {
    return static_cast<std::size_t>(std::lower_bound(times_.begin(), times_.end(), t) -
                                    times_.begin());
}

void LogTable::Reserve(std::size_t rows) {
    times_.reserve(rows);
    for (int c = 1; c < kLogColumnCount; ++c)
        columns_[c].reserve(rows);
}

void LogTable::Append(double time, const std::array<float, kLogColumnCount>& values) {
    times_.push_back(times_.empty() ? time : std::max(time, times_.back()));
    for (int c = 1; c < kLogColumnCount; ++c)
        columns_[c].push_back(values[c]);
}

}  // namespace veltrano
