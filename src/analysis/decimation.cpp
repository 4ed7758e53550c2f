#include "analysis/decimation.h"

#include <algorithm>

namespace veltrano {
namespace {

void Span(std::span<const float> v, std::size_t from, std::size_t to, PixelSpan& out) {
    float lo = v[from];
    float hi = v[from];
    for (std::size_t i = from + 1; i < to; ++i) {
        lo = std::min(lo, v[i]);
        hi = std::max(hi, v[i]);
    }
    out = {static_cast<std::uint32_t>(to - from), v[from], v[to - 1], lo, hi};
}

void MaskedSpan(std::span<const float> v, std::span<const std::uint8_t> keep, std::size_t from,
                std::size_t to, PixelSpan& out) {
    for (std::size_t i = from; i < to; ++i) {
        if (keep[i] == 0)
            continue;
        if (out.rows == 0) {
            out = {0, v[i], v[i], v[i], v[i]};
        } else {
            out.min = std::min(out.min, v[i]);
            out.max = std::max(out.max, v[i]);
            out.last = v[i];
        }
        ++out.rows;
    }
}

}  // namespace

std::vector<PixelSpan> DecimateColumn(const LogTable& table, int column, double t0, double t1,
                                      int pixels, std::span<const std::uint8_t> keep) {
    std::vector<PixelSpan> out(pixels > 0 ? static_cast<std::size_t>(pixels) : 0);
    if (pixels <= 0 || !(t1 > t0) || column <= 0 || column >= kLogColumnCount)
        return out;
    const std::span<const float> values = table.Column(column);
    const std::span<const double> times = table.Times();
    const bool masked = !keep.empty() && keep.size() == times.size();
    const double width = (t1 - t0) / pixels;
    std::size_t from = table.RowAtOrAfter(t0);
    for (int p = 0; p < pixels && from < times.size(); ++p) {
        std::size_t to;
        if (p + 1 == pixels) {
            to = static_cast<std::size_t>(std::upper_bound(times.begin() + from, times.end(), t1) -
                                          times.begin());
        } else {
            const double end = t0 + (p + 1) * width;
            to = static_cast<std::size_t>(std::lower_bound(times.begin() + from, times.end(), end) -
                                          times.begin());
        }
        if (to > from) {
            if (masked)
                MaskedSpan(values, keep, from, to, out[p]);
            else
                Span(values, from, to, out[p]);
        }
        from = to;
    }
    return out;
}

}  // namespace veltrano
