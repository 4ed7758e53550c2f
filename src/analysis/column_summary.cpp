#include "analysis/column_summary.h"

#include <algorithm>

namespace veltrano {
namespace {

void Add(PixelSpan& out, const PixelSpan& s) {
    if (s.rows == 0)
        return;
    if (out.rows == 0) {
        out = s;
        return;
    }
    out.min = std::min(out.min, s.min);
    out.max = std::max(out.max, s.max);
    out.last = s.last;
    out.rows += s.rows;
}

}  // namespace

ColumnSummary::ColumnSummary(const LogTable& table, int column, std::span<const std::uint8_t> keep)
    : table_(table), column_(column) {
    if (column <= 0 || column >= kLogColumnCount)
        return;
    if (keep.size() == table.Rows())
        keep_ = keep;
    const std::size_t n = table.Rows();
    blocks_.resize((n + kBlock - 1) / kBlock);
    for (std::size_t b = 0; b < blocks_.size(); ++b)
        AddRows(b * kBlock, std::min(n, (b + 1) * kBlock), blocks_[b]);
}

void ColumnSummary::AddRows(std::size_t from, std::size_t to, PixelSpan& out) const {
    const std::span<const float> v = table_.Column(column_);
    for (std::size_t i = from; i < to; ++i) {
        if (!keep_.empty() && keep_[i] == 0)
            continue;
        Add(out, PixelSpan{1, v[i], v[i], v[i], v[i]});
    }
}

// Rows [from, to): the rows up to the first block boundary, whole blocks, the rest.
void ColumnSummary::AddSpan(std::size_t from, std::size_t to, PixelSpan& out) const {
    const std::size_t firstBlock = (from + kBlock - 1) / kBlock;
    const std::size_t endBlock = to / kBlock;
    if (firstBlock >= endBlock) {
        AddRows(from, to, out);
        return;
    }
    AddRows(from, firstBlock * kBlock, out);
    for (std::size_t b = firstBlock; b < endBlock; ++b)
        Add(out, blocks_[b]);
    AddRows(endBlock * kBlock, to, out);
}

std::vector<PixelSpan> ColumnSummary::Decimate(double t0, double t1, int pixels) const {
    std::vector<PixelSpan> out(pixels > 0 ? static_cast<std::size_t>(pixels) : 0);
    if (pixels <= 0 || !(t1 > t0) || column_ <= 0 || column_ >= kLogColumnCount)
        return out;
    const std::span<const double> times = table_.Times();
    const double width = (t1 - t0) / pixels;
    std::size_t from = table_.RowAtOrAfter(t0);
    for (int p = 0; p < pixels && from < times.size(); ++p) {
        const auto next = p + 1 == pixels ? std::upper_bound(times.begin() + from, times.end(), t1)
                                          : std::lower_bound(times.begin() + from, times.end(),
                                                             t0 + (p + 1) * width);
        const auto to = static_cast<std::size_t>(next - times.begin());
        if (to > from)
            AddSpan(from, to, out[static_cast<std::size_t>(p)]);
        from = to;
    }
    return out;
}

}  // namespace veltrano
