#include "analysis/wideband_readings.h"

#include <algorithm>
#include <cmath>

#include "analysis/log_columns.h"

namespace veltrano {
namespace {

std::vector<std::size_t> ChangeRows(const LogTable& log) {
    const auto coefficient = log.Column(logcol::LC_COrrect);
    std::vector<std::size_t> rows;
    float last = 0;
    for (std::size_t row = 0; row < log.Rows(); ++row) {
        if (coefficient[row] > 0 && coefficient[row] != last)
            rows.push_back(row);
        last = coefficient[row];
    }
    return rows;
}

// Median time between successive rows of `rows`; 0 for fewer than three.
double MedianGap(const LogTable& log, const std::vector<std::size_t>& rows) {
    if (rows.size() < 3)
        return 0;
    std::vector<double> gaps;
    gaps.reserve(rows.size() - 1);
    for (std::size_t i = 1; i < rows.size(); ++i)
        gaps.push_back(log.Time(rows[i]) - log.Time(rows[i - 1]));
    auto middle = gaps.begin() + static_cast<std::ptrdiff_t>(gaps.size() / 2);
    std::nth_element(gaps.begin(), middle, gaps.end());
    return *middle;
}

double RecordGap(const LogTable& log) {
    std::vector<std::size_t> all(log.Rows());
    for (std::size_t i = 0; i < all.size(); ++i)
        all[i] = i;
    return MedianGap(log, all);
}

// The row of (from, to) whose time is nearest t.
std::size_t NearestRow(const LogTable& log, std::size_t from, std::size_t to, double t) {
    std::size_t row = std::clamp(log.RowAtOrAfter(t), from + 1, to - 1);
    if (row > from + 1 && t - log.Time(row - 1) < log.Time(row) - t)
        --row;
    return row;
}

}  // namespace

std::vector<bool> FreshReadingRows(const LogTable& log) {
    std::vector<bool> fresh(log.Rows(), false);
    const std::vector<std::size_t> changes = ChangeRows(log);
    for (std::size_t row : changes)
        fresh[row] = true;
    const double period = MedianGap(log, changes);
    if (!(period > 0))
        return fresh;
    // A reading is taken by the first record after it came, so a change row lags its reading
    // by up to a record's time, more when the link stalled: a run counts a reading only when
    // it lasts that much short of the next whole period.
    const double lag = std::min(1.5 * RecordGap(log), period / 2);
    // The log cannot tell a reader that stopped from one whose readings all came out alike;
    // the latter is what a steady engine gives, so every still run is filled.
    for (std::size_t i = 0; i < changes.size(); ++i) {
        const std::size_t a = changes[i];
        const bool last = i + 1 == changes.size();
        const std::size_t b = last ? log.Rows() : changes[i + 1];
        if (b - a < 2)
            continue;
        // The run after the last change ends with the log, not with a reading.
        const double run = log.Time(last ? b - 1 : b) - log.Time(a);
        const long periods = std::lround(std::floor((run + lag) / period));
        const long missed = last ? periods : periods - 1;
        const double step = last ? period : run / static_cast<double>(missed + 1);
        for (long k = 1; k <= missed; ++k)
            fresh[NearestRow(log, a, b, log.Time(a) + step * static_cast<double>(k))] = true;
    }
    return fresh;
}

}  // namespace veltrano
