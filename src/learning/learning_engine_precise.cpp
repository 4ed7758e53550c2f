// The learning cycle's step in the precise mode: remember the record, offer its mixture
// reading, and move the cells when enough samples have been gathered.
#include <cstdint>
#include <span>

#include "calibration/calibration_grids.h"
#include "common/text_forms.h"
#include "learning/learning_engine.h"
#include "learning/learning_notices.h"
#include "learning/narrowband.h"
#include "learning/table_transfer.h"

namespace veltrano {
namespace {

// The mixture reading a record carries in the precise mode, if any.
bool ReadingOf(const ConnectionLearningState& conn, const ProgramLearningState& s,
               const LiveRecord& live, LambdaSource source, PreciseReading& out) {
    switch (source) {
        case LambdaSource::Shdk:
            out.measuredAfr = s.LC_COrrect * live.FsensorAirFuelRatio;
            return conn.recordsSinceReading == 0;
        case LambdaSource::VoltDk:
            out.measuredAfr = conn.NarrowbandAfr;
            out.pinned = NarrowbandPinned(live.FsensorLamMdaVoltage_2);
            return true;
        case LambdaSource::Dk:
            out.trim = conn.LambdaCoeff;
            return true;
        case LambdaSource::None:
            break;
    }
    return false;
}

// The live data gives rpm in 40 rpm steps, throttle in 1 % and pressure in 1 kPa: the point
// the ECU used may be half a step from ours.
constexpr double kRpmHalfStep = 20;
constexpr double kLoadHalfStep = 0.5;

// Half a step over the width of the cell the point is in, in cells.
double Blur(double halfStep, std::span<const std::int32_t> axis, int index) {
    if (index < 1 || index >= static_cast<int>(axis.size()))
        return 0;
    const double width = axis[index] - axis[index - 1];
    return width > 0 ? halfStep / width : 0;
}

void CountUpdate(TextGrid& rt, int c, int r, char sep) {
    const auto v = ParseNumber(rt.Cell(c, r), sep);
    rt.SetCell(c, r, v ? GeneralText(*v + 1, sep) : "0");
}

}  // namespace

void LearningEngine::LearnPrecise(ConnectionLearningState& conn, LearningLink& link,
                                  const LiveRecord& live, double now, const LearningImage& image,
                                  const LearningOptions& options, Notices& notices) {
    // A table whose address is unknown is shown empty and never learned.
    if (!TableAddressKnown(image.addresses.StartAddrPCN))
        return;
    PointRecord record;
    record.t = now;
    record.rpm = live.FsensorCrankshaftSpeed;
    record.kpa = live.FsensorPressure;
    record.c = s_.op.RPM_RT;
    record.r = s_.op.LoadIndex;
    record.rpmFrac = conn.frac.RpmFrac;
    record.loadFrac = image.FlagPcnGridDad ? conn.frac.DadFrac : conn.frac.TrtFrac;
    record.rpmBlur = Blur(kRpmHalfStep, image.axes.FRPMAxis, record.c);
    record.loadBlur =
        Blur(kLoadHalfStep, image.FlagPcnGridDad ? image.axes.FDADAxis : image.axes.FThrottleAxis,
             record.r);
    record.targetAfr = live.FsensorAirFuelRatio;
    record.admitted = s_.AllowLearning;
    // Fuel cut and the ECU's transient corrections both ways (enrichment while the throttle
    // opens, leaning while it closes).
    record.transient = live.flag_fuelOFF == 1 || live.FsensorCoeffCorrGTC_HI > 0 ||
                       live.FsensorCoeffCorrGTC_LO > 0;
    precise_.Remember(record);

    PreciseReading reading;
    reading.rpm = record.rpm;
    reading.kpa = record.kpa;
    reading.admitted = s_.AllowLearning;
    if (!ReadingOf(conn, s_, live, options.source, reading))
        return;

    std::lock_guard lock(gridsMutex_);
    const char sep = DecimalSeparator();
    TextGrid& pcn = grids_.SG_PCN;
    const CellValues values = [&](int c, int r) {
        return ParseNumber(pcn.Cell(c, r), sep).value_or(0.0);
    };
    if (precise_.Offer(now, reading, options.precise, values) == PreciseVerdict::Taken)
        s_.samples += 1;
    s_.count_log = precise_.Samples();
    if (precise_.Samples() < options.hitsPerPoint)
        return;

    const std::vector<PreciseChange> changes = precise_.Update(now, options.precise, values);
    s_.count_log = 0;
    if (changes.empty())
        return;
    s_.updates += 1;
    TableUpdateObserver* observer = nullptr;
    {
        std::lock_guard config(configMutex_);
        observer = updateObserver_;
    }
    if (observer != nullptr)
        observer->UpdateStarting();  // the update is one edit of the table
    for (const PreciseChange& change : changes) {
        pcn.SetCell(change.c, change.r, GeneralText(change.after, sep));
        CountUpdate(grids_.SG_RT, change.c, change.r, sep);
    }
    if (observer != nullptr)
        observer->UpdateDone();
    notices.gridsChanged = true;
    bool stored = false;
    link.WithTables([&](LinkTables& t) {
        stored = StorePcnTable(pcn, t, sep) == std::nullopt;
        if (stored && options.target == WriteTarget::Olt)
            t.StartAddrPCN = image.addresses.StartAddrPCN;
        if (stored && options.target == WriteTarget::RamPcn)
            t.RamId = image.FlagPcnGridDad ? 0x13 : 0x04;
    });
    if (!stored)
        return;
    if (options.target == WriteTarget::Olt) {
        s_.OltRewriteMark = 1;
        s_.writesRequested += 1;
        link.Raise(LinkRequest::PCN);
    }
    if (options.target == WriteTarget::RamPcn) {
        s_.RamRewriteMark = 1;
        s_.writesRequested += 1;
        link.Raise(LinkRequest::PCN_RAM);
    }
}

}  // namespace veltrano
