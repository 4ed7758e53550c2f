#include "learning/pcn_update.h"

#include <cmath>
#include <numeric>

#include "calibration/table_catalogue.h"
#include "common/text_forms.h"
#include "learning/table_transfer.h"

namespace veltrano {
namespace {

double Value(const TextGrid& g, int c, int r, char sep) {
    return ParseNumber(g.Cell(c, r), sep).value_or(0.0);
}

void SetValue(TextGrid& g, int c, int r, long double v, char sep) {
    g.SetCell(c, r, GeneralText(static_cast<double>(v), sep));
}

double Mean(const std::vector<double>& v) {
    if (v.empty())
        return 0;
    return std::accumulate(v.begin(), v.end(), 0.0) / static_cast<double>(v.size());
}

bool Between(double x, double lo, double hi) {
    return lo < x && x < hi;
}

int Byte(const std::array<std::uint8_t, 256>& t, int c, int r) {
    return t[(r - 1) * 16 + c - 1];
}

struct Factors {
    long double f00 = 1, f10 = 1, f01 = 1, f11 = 1;
};

void NudgeBcn(TextGrid& bcn, int c, int r, double pcnInterp, double airCycleRate, char sep) {
    const long double sum =
        Value(bcn, c, r, sep) + (2.0L - pcnInterp) * static_cast<long double>(airCycleRate);
    bcn.SetCell(c, r, IntegerText(RoundHalfEven(static_cast<double>(sum / 2))));
    if (c > 1 && c < 16) {
        const long double next = 2.0L * Value(bcn, c, r, sep) - Value(bcn, c - 1, r, sep);
        SetValue(bcn, c + 1, r, next, sep);
    }
}

void CountHits(CellCounts& hits, int c, int r) {
    hits[c][r] += 1;
    if (c < 16)
        hits[c + 1][r] += 1;
    if (r < 16)
        hits[c][r + 1] += 1;
    if (c < 16 && r < 16)
        hits[c + 1][r + 1] += 1;
}

void CountUpdate(TextGrid& rt, int c, int r, char sep) {
    if (rt.Cell(c, r).empty()) {
        rt.SetCell(c, r, "0");
        return;
    }
    SetValue(rt, c, r, Value(rt, c, r, sep) + 1.0L, sep);
}

// Steps 7 to 10 on the PCN grid.
void CorrectCells(TextGrid& pcn, int c, int r, long double L, double pcnInterp,
                  const AxisFractions& frac, const Factors& f, char sep) {
    auto times = [&](int cc, int rr, long double k) {
        SetValue(pcn, cc, rr, Value(pcn, cc, rr, sep) * k, sep);
    };
    if (L > 1.2L || L < 0.8L) {
        const long double v = pcnInterp * L;
        SetValue(pcn, c, r, v, sep);
        if (c < 16)
            SetValue(pcn, c + 1, r, v, sep);
        if (r < 16)
            SetValue(pcn, c, r + 1, v, sep);
        if (c < 16 && r < 16)
            SetValue(pcn, c + 1, r + 1, v, sep);
    }
    if (Between(static_cast<double>(L), 0.79, 0.95) ||
        Between(static_cast<double>(L), 1.05, 1.21)) {
        times(c, r, f.f00);
        if (c < 16)
            times(c + 1, r, f.f10);
        if (r < 16)
            times(c, r + 1, f.f01);
        if (c < 16 && r < 16)
            times(c + 1, r + 1, f.f11);
    }
    if (Between(static_cast<double>(L), 0.94, 1.06)) {
        const double rf = frac.RpmFrac;
        const double lf = frac.LoadFrac;
        if (rf < 0.5 && lf < 0.5)
            times(c, r, f.f00);
        if (rf > 0.5 && lf < 0.5 && c < 16)
            times(c + 1, r, f.f10);
        if (rf < 0.5 && lf > 0.5 && r < 16)
            times(c, r + 1, f.f01);
        if (rf > 0.5 && lf > 0.5 && c < 16 && r < 16)
            times(c + 1, r + 1, f.f11);
    }
    auto pull = [&](int cc, int rr, long double k) {
        if (std::fabs(pcnInterp - Value(pcn, cc, rr, sep)) > 0.09) {
            SetValue(pcn, cc, rr, pcnInterp * k, sep);
        }
    };
    if (c > 1)
        pull(c - 1, r, f.f00);
    pull(c, r, f.f00);
    if (c < 16)
        pull(c + 1, r, f.f10);
    if (r < 16)
        pull(c, r + 1, f.f01);
}

void LimitCells(TextGrid& pcn, char sep) {
    for (int c = 1; c <= 16; ++c) {
        for (int r = 1; r <= 16; ++r) {
            const double v = Value(pcn, c, r, sep);
            if (v < 0.2)
                pcn.SetCell(c, r, GeneralText(0.2, sep));
            if (v > 1.9)
                pcn.SetCell(c, r, GeneralText(1.9, sep));
        }
    }
}

}  // namespace

std::optional<BadCell> FindBadCell(const PcnGrids& grids, int c, int r, char sep) {
    for (int rr = 1; rr <= 16; ++rr) {
        for (int cc = 1; cc <= 16; ++cc) {
            const std::string& text = grids.SG_PCN.Cell(cc, rr);
            if (!ParseNumber(text, sep))
                return BadCell{"SG_PCN", cc, rr, text};
        }
    }
    for (int cc = std::max(1, c - 1); cc <= std::min(16, c + 1); ++cc) {
        const std::string& text = grids.SG_BCN.Cell(cc, r);
        if (!ParseNumber(text, sep))
            return BadCell{"SG_BCN", cc, r, text};
    }
    return std::nullopt;
}

std::string BadCellMessage(const BadCell& cell) {
    return std::string(cell.grid) + ": " + CellErrorMessage({cell.col, cell.row, cell.text});
}

bool LearningSample(ProgramLearningState& s, ConnectionLearningState& conn,
                    const LearningOptions& options, PcnGrids& grids, char sep) {
    s.count_log += 1;
    s.samples += 1;
    if (options.source == LambdaSource::Shdk) {
        s.LambdaWindow.push_back(s.LC_COrrect);
        s.LambdaWindowMean = Mean(s.LambdaWindow);
        conn.LambdaCoeff = s.LambdaWindowMean;
    }
    s.WeightLog[0].push_back(s.weights.W00);
    s.WeightLog[1].push_back(s.weights.W10);
    s.WeightLog[2].push_back(s.weights.W01);
    s.WeightLog[3].push_back(s.weights.W11);
    grids.RzStringGrid2.SetCell(s.op.RPM_RT, s.op.LoadIndex, GeneralText(conn.LambdaCoeff, sep));
    return s.count_log >= options.hitsPerPoint;
}

void RunPcnUpdate(ProgramLearningState& s, const ConnectionLearningState& conn,
                  const UpdateTarget& target, double airCycleRate, PcnGrids& grids,
                  LearningLink& link, char sep) {
    const int c = s.op.RPM_RT;
    const int r = s.op.LoadIndex;
    const long double L = conn.LambdaCoeff;
    s.updates += 1;

    s.LambdaWindow.clear();
    s.count_log = 0;
    std::array<double, 4> m{};
    for (int i = 0; i < 4; ++i) {
        m[i] = Mean(s.WeightLog[i]);
        s.WeightLog[i].clear();
    }
    const Factors f{1 - (1 - L) * m[0], 1 - (1 - L) * m[1], 1 - (1 - L) * m[2], 1 - (1 - L) * m[3]};

    const double l = conn.LambdaCoeff;
    if (Between(l, 0.9, 1.1))
        NudgeBcn(grids.SG_BCN, c, r, s.PcnInterp, airCycleRate, sep);
    if (Between(l, 0.95, 1.05))
        CountHits(s.LearnHits, c, r);
    CountUpdate(grids.SG_RT, c, r, sep);
    CorrectCells(grids.SG_PCN, c, r, L, s.PcnInterp, conn.frac, f, sep);

    s.SmoothCount += 1;
    const bool smooth = s.SmoothCount > 20 && target.autoSmoothing;
    if (s.SmoothCount > 20)
        s.SmoothCount = 0;

    bool stored = false;
    link.WithTables([&](LinkTables& t) {
        if (smooth)
            SmoothPcnTable(t.TablePCN, s.LearnHits, grids.SG_PCN, sep);
        LimitCells(grids.SG_PCN, sep);
        stored = StorePcnTable(grids.SG_PCN, t, sep) == std::nullopt;
        if (!stored)
            return;
        if (target.target == WriteTarget::Olt)
            t.StartAddrPCN = target.layoutStartAddrPCN;
        if (target.target == WriteTarget::RamPcn)
            t.RamId = target.flagPcnGridDad ? 0x13 : 0x04;
    });
    s.LambdaWindow.clear();
    if (!stored)
        return;
    if (target.target == WriteTarget::Olt) {
        s.OltRewriteMark = 1;
        s.writesRequested += 1;
        link.Raise(LinkRequest::PCN);
    }
    if (target.target == WriteTarget::RamPcn) {
        s.RamRewriteMark = 1;
        s.writesRequested += 1;
        link.Raise(LinkRequest::PCN_RAM);
    }
}

void SmoothPcnTable(std::array<std::uint8_t, 256>& t, const CellCounts& hits, TextGrid& SG_PCN,
                    char sep) {
    auto set = [&t](int c, int r, int sum) {
        t[(r - 1) * 16 + c - 1] = static_cast<std::uint8_t>(RoundHalfEven(sum / 2.0));
    };
    for (int r = 2; r <= 15; ++r) {
        for (int c = 1; c <= 16; ++c) {
            if (hits[c][r] < 3)
                set(c, r, Byte(t, c, r - 1) + Byte(t, c, r + 1));
        }
    }
    for (int r = 1; r <= 16; ++r) {
        for (int c = 2; c <= 15; ++c) {
            if (hits[c][r] < 3)
                set(c, r, Byte(t, c - 1, r) + Byte(t, c + 1, r));
        }
    }
    for (int r = 1; r <= 16; ++r) {
        for (int c = 1; c <= 16; ++c) {
            const std::uint8_t b = Byte(t, c, r);
            SG_PCN.SetDecoded(c, r, FormatMask("##0.00", b / 128.0, sep), b);
        }
    }
}

}  // namespace veltrano
