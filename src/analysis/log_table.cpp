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

void LogTable::AppendRows(std::span<const double> times, std::span<const float> values) {
    const std::size_t n = std::min(times.size(), values.size() / kLogColumnCount);
    for (std::size_t i = 0; i < n; ++i)
        times_.push_back(times_.empty() ? times[i] : std::max(times[i], times_.back()));
    // Each column gathered into a short run first, then appended in one copy.
    constexpr std::size_t kRun = 1024;
    float run[kRun];
    for (std::size_t from = 0; from < n; from += kRun) {
        const std::size_t count = std::min(kRun, n - from);
        for (int c = 1; c < kLogColumnCount; ++c) {
            const float* v = values.data() + from * kLogColumnCount + c;
            for (std::size_t i = 0; i < count; ++i, v += kLogColumnCount)
                run[i] = *v;
            columns_[c].insert(columns_[c].end(), run, run + count);
        }
    }
}

}  // namespace veltrano
