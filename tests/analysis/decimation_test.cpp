// The min/max envelope keeps every extreme of the rows it covers, reduced row by row or from
// a column's block summary.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "analysis/column_summary.h"
#include "analysis/decimation.h"

namespace veltrano {
namespace {

LogTable NoisyTable(std::size_t rows, unsigned seed) {
    std::mt19937 rng(seed);
    std::uniform_real_distribution<float> value(-50, 50);
    std::uniform_real_distribution<double> step(0.0, 0.05);
    LogTable t;
    std::array<float, kLogColumnCount> v{};
    double time = 100;
    for (std::size_t i = 0; i < rows; ++i) {
        time += step(rng);  // steps of 0 too: rows sharing a time
        for (int c = 1; c < kLogColumnCount; ++c)
            v[c] = value(rng);
        t.Append(time, v);
    }
    return t;
}

// Every row by brute force: which pixel holds it, with the same bounds.
std::vector<PixelSpan> BruteForce(const LogTable& t, int column, double t0, double t1, int pixels,
                                  const std::vector<std::uint8_t>& keep) {
    std::vector<PixelSpan> out(pixels);
    const double w = (t1 - t0) / pixels;
    for (std::size_t i = 0; i < t.Rows(); ++i) {
        const double time = t.Time(i);
        if (time < t0 || time > t1 || (!keep.empty() && keep[i] == 0))
            continue;
        int p = 0;
        while (p + 1 < pixels && time >= t0 + (p + 1) * w)
            ++p;
        const float v = t.Column(column)[i];
        PixelSpan& s = out[p];
        if (s.rows == 0)
            s = {0, v, v, v, v};
        s.min = std::min(s.min, v);
        s.max = std::max(s.max, v);
        s.last = v;
        ++s.rows;
    }
    return out;
}

TEST(Decimation, EveryPixelHoldsTheExtremesOfItsRows) {
    const LogTable t = NoisyTable(5000, 7);
    std::vector<std::uint8_t> mask(t.Rows());
    for (std::size_t i = 0; i < mask.size(); ++i)
        mask[i] = (i * 7919) % 3 != 0;
    const double start = t.Time(0);
    const double end = t.Time(t.Rows() - 1);
    const struct {
        double t0, t1;
        int pixels;
        bool masked;
    } cases[] = {
        {start, end, 800, false},                 // whole log, fewer pixels than rows
        {start, end, 20000, false},               // more pixels than rows: many empty
        {start + 10, start + 11, 300, false},     // zoomed in
        {start - 5, end + 5, 97, false},          // beyond both ends
        {start, end, 640, true},                  // rows left out by a filter
        {t.Time(1234), t.Time(1234), 10, false},  // empty range
    };
    const std::vector<std::uint8_t> all;
    const ColumnSummary summary(t, 5), maskedSummary(t, 5, mask);
    for (const auto& c : cases) {
        const std::vector<std::uint8_t>& keep = c.masked ? mask : all;
        const auto got = DecimateColumn(t, 5, c.t0, c.t1, c.pixels, keep);
        const auto fromBlocks = (c.masked ? maskedSummary : summary).Decimate(c.t0, c.t1, c.pixels);
        if (!(c.t1 > c.t0)) {
            EXPECT_TRUE(std::all_of(got.begin(), got.end(), [](auto& s) { return s.rows == 0; }));
            EXPECT_TRUE(std::all_of(fromBlocks.begin(), fromBlocks.end(),
                                    [](auto& s) { return s.rows == 0; }));
            continue;
        }
        const auto want = BruteForce(t, 5, c.t0, c.t1, c.pixels, keep);
        for (const auto* spans : {&got, &fromBlocks}) {
            ASSERT_EQ(spans->size(), want.size());
            for (int p = 0; p < c.pixels; ++p) {
                const PixelSpan& s = (*spans)[p];
                ASSERT_EQ(s.rows, want[p].rows) << c.pixels << " pixel " << p;
                if (want[p].rows == 0)
                    continue;
                EXPECT_EQ(s.min, want[p].min) << p;
                EXPECT_EQ(s.max, want[p].max) << p;
                EXPECT_EQ(s.first, want[p].first) << p;
                EXPECT_EQ(s.last, want[p].last) << p;
            }
        }
    }
}

TEST(Decimation, ASingleSpikeSurvivesAnyWidth) {
    LogTable t;
    std::array<float, kLogColumnCount> v{};
    for (int i = 0; i < 100000; ++i) {
        v[logcol::Rpm] = i == 61234 ? 7000.0f : i == 70000 ? -1.0f : 800.0f;
        t.Append(i * 0.01, v);
    }
    for (int pixels : {1, 3, 500, 1024, 4096}) {
        const auto spans = DecimateColumn(t, logcol::Rpm, 0, 1000, pixels);
        float hi = -1e9f, lo = 1e9f;
        std::uint32_t rows = 0;
        for (const auto& s : spans) {
            if (s.rows == 0)
                continue;
            hi = std::max(hi, s.max);
            lo = std::min(lo, s.min);
            rows += s.rows;
        }
        EXPECT_EQ(hi, 7000.0f) << pixels;
        EXPECT_EQ(lo, -1.0f) << pixels;
        EXPECT_EQ(rows, 100000u) << pixels;
    }
}

}  // namespace
}  // namespace veltrano
