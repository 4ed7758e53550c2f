#include "learning/cell_fit.h"

#include <cmath>
#include <cstddef>

namespace veltrano {
namespace {

int Index(int c, int r) {
    return (r - 1) * 16 + (c - 1);
}

// Cholesky factor of the symmetric positive definite n × n matrix a (row-major), in place:
// the lower triangle holds L with a = L Lᵀ.
void Factor(std::vector<double>& a, std::size_t n) {
    auto at = [&](std::size_t i, std::size_t j) -> double& { return a[i * n + j]; };
    for (std::size_t j = 0; j < n; ++j) {
        for (std::size_t k = 0; k < j; ++k)
            at(j, j) -= at(j, k) * at(j, k);
        at(j, j) = std::sqrt(at(j, j));
        for (std::size_t i = j + 1; i < n; ++i) {
            for (std::size_t k = 0; k < j; ++k)
                at(i, j) -= at(i, k) * at(j, k);
            at(i, j) /= at(j, j);
        }
    }
}

// Solves L Lᵀ x = b with the factor from Factor().
std::vector<double> Substitute(const std::vector<double>& l, std::vector<double> b) {
    const std::size_t n = b.size();
    for (std::size_t i = 0; i < n; ++i) {
        for (std::size_t k = 0; k < i; ++k)
            b[i] -= l[i * n + k] * b[k];
        b[i] /= l[i * n + i];
    }
    for (std::size_t i = n; i-- > 0;) {
        for (std::size_t k = i + 1; k < n; ++k)
            b[i] -= l[k * n + i] * b[k];
        b[i] /= l[i * n + i];
    }
    return b;
}

}  // namespace

CellRegression::CellRegression() {
    Clear();
}

void CellRegression::Clear() {
    normal_.assign(kCells * kCells, 0.0);
    rhs_.assign(kCells, 0.0);
}

void CellRegression::Add(const BlendReading& reading) {
    const PointShares& shares = reading.shares;
    const double needed = reading.needed;
    const double w = reading.weight;
    for (int a = 0; a < shares.count; ++a) {
        const CellShare& sa = shares.cells[a];
        const int i = Index(sa.c, sa.r);
        rhs_[i] += w * sa.share * needed;
        for (int b = 0; b < shares.count; ++b) {
            const CellShare& sb = shares.cells[b];
            normal_[i * kCells + Index(sb.c, sb.r)] += w * sa.share * sb.share;
        }
    }
}

std::vector<CellFit> CellRegression::Solve(const std::function<double(int, int)>& values,
                                           const std::function<bool(int, int)>& fixed, double hold,
                                           const std::vector<BlendReading>& passing) const {
    if (!passing.empty()) {
        CellRegression with = *this;
        for (const BlendReading& reading : passing)
            with.Add(reading);
        return with.Solve(values, fixed, hold);
    }
    std::vector<CellFit> cells;
    std::vector<int> index;
    std::vector<double> present(kCells);
    std::vector<bool> free(kCells, false);
    for (int i = 0; i < kCells; ++i) {
        const int c = i % 16 + 1, r = i / 16 + 1;
        present[i] = values(c, r);
        if (normal_[i * kCells + i] <= 0 || fixed(c, r))
            continue;
        free[i] = true;
        index.push_back(i);
        cells.push_back({c, r, present[i], present[i], normal_[i * kCells + i]});
    }
    const std::size_t n = index.size();
    if (n == 0)
        return cells;
    std::vector<double> a(n * n, 0.0);
    std::vector<double> b(n, 0.0);
    for (std::size_t p = 0; p < n; ++p) {
        const int i = index[p];
        b[p] = rhs_[i] + hold * present[i];
        for (int j = 0; j < kCells; ++j) {
            const double m = normal_[i * kCells + j];
            if (m != 0 && !free[j])
                b[p] -= m * present[j];  // a held cell's part of the blend is known
        }
        for (std::size_t q = 0; q < n; ++q)
            a[p * n + q] = normal_[i * kCells + index[q]];
        a[p * n + p] += hold;
    }
    Factor(a, n);
    const std::vector<double> x = Substitute(a, std::move(b));
    for (std::size_t p = 0; p < n; ++p) {
        cells[p].estimate = x[p];
        std::vector<double> unit(n, 0.0);
        unit[p] = 1;
        cells[p].spread = Substitute(a, std::move(unit))[p];
    }
    return cells;
}

}  // namespace veltrano
