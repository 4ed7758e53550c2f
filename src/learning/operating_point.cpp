#include "learning/operating_point.h"

#include "common/text_forms.h"
#include "learning/axis_search.h"

namespace veltrano {

void LocateOperatingPoint(const LearningAxes& axes, const OperatingInputs& in, bool flagDad,
                          OperatingCell& op, AxisFractions& frac) {
    const long double p = in.pressure;
    const long double t = in.throttle;
    const long double n = in.rpm;

    op.DAD_RT = AxisSearch(p, axes.FDADAxis, DadAxisRule(axes.FDADAxis), op.DAD_RT);
    if (!flagDad || op.DAD_RT == 16 || axes.FDADAxis[0] > p) {
        frac.DadFrac = 0;
    } else {
        frac.DadFrac = AxisFraction(p, axes.FDADAxis, op.DAD_RT);
    }
    op.DAD_RT_32 = AxisSearch(p, axes.FdadAxis_32, DadAxis32Rule(axes.FdadAxis_32), op.DAD_RT_32);

    op.TRT_RT = AxisSearch(t, axes.FThrottleAxis, ThrottleAxisRule(), op.TRT_RT);
    if (op.TRT_RT == 16 || t <= 0) {
        frac.TrtFrac = 0;
    } else {
        frac.TrtFrac = AxisFraction(t, axes.FThrottleAxis, op.TRT_RT);
    }

    op.RPM_RT = AxisSearch(n, axes.FRPMAxis, RpmAxisRule(axes.FRPMAxis), op.RPM_RT);
    if (op.RPM_RT == 16 || op.RPM_RT < 1 || axes.FRPMAxis[op.RPM_RT - 1] >= n) {
        frac.RpmFrac = 0;
    } else {
        frac.RpmFrac = AxisFraction(n, axes.FRPMAxis, op.RPM_RT);
    }
    op.RPM_RT_32 = AxisSearch(n, axes.FRPMAxis_32, RpmAxis32Rule(axes.FRPMAxis_32), op.RPM_RT_32);
}

double RoundWeight(double w) {
    const auto back = ParseNumber(FormatMask("##.#00", w, '.'), '.');
    return back ? *back : w;
}

CellWeights SmoothWeights(AxisFractions& frac, bool flagPcnGridDad, WeightAverages& avg) {
    frac.LoadFrac = flagPcnGridDad ? frac.DadFrac : frac.TrtFrac;
    const double r = frac.RpmFrac;
    const double l = frac.LoadFrac;
    const double w00 = RoundWeight((1 - r) * (1 - l));
    const double w10 = RoundWeight(r * (1 - l));
    const double w01 = RoundWeight((1 - r) * l);
    const double w11 = RoundWeight(r * l);
    avg.T1 = (w00 * 100 + avg.T1) / 2;
    avg.T2 = (w10 * 100 + avg.T2) / 2;
    avg.T3 = (w01 * 100 + avg.T3) / 2;
    avg.T4 = (w11 * 100 + avg.T4) / 2;
    return {avg.T1 / 100, avg.T2 / 100, avg.T3 / 100, avg.T4 / 100};
}

}  // namespace veltrano
