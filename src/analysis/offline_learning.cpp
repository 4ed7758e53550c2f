#include "analysis/offline_learning.h"

#include <mutex>

#include "analysis/analysis_texts.h"
#include "analysis/log_record.h"
#include "analysis/wideband_readings.h"
#include "learning/table_transfer.h"

namespace veltrano {
namespace {

// The link as the cycle sees it, fed one log row at a time; nothing is sent anywhere.
class RowLink final : public LearningLink {
  public:
    void Publish(const LiveRecord& r) {
        live_ = r;
        isNew_ = true;
    }
    bool Running() const override { return true; }
    bool IsNew() const override { return isNew_; }
    void ClearNew() override { isNew_ = false; }
    bool WaitForNew(std::chrono::milliseconds) override { return isNew_; }
    LiveRecord Live() const override { return live_; }
    void EnterOltMode(const TableAddresses&) override { olt_ = true; }
    bool OltMode() const override { return olt_; }
    bool SwitchedToRam() const override { return false; }
    void SetRequestDelay(int) override {}
    int SendingDelay() const override { return 0; }
    void WithTables(const std::function<void(LinkTables&)>& fn) override { fn(tables); }
    void Raise(LinkRequest) override {}
    void ClearFirmwareRequests() override {}

    LinkTables tables;

  private:
    LiveRecord live_;
    bool isNew_ = false;
    bool olt_ = false;
};

// The wideband reader as the log remembers it: the coefficient the cycle computed is
// logged, so a reading is rebuilt that gives it back against the row's target AFR.
class RowLambda final : public LearningLambda {
  public:
    void Set(double afr, bool fresh) {
        reading_.AFR = afr;
        reading_.lc = fresh;
    }
    bool Running() const override { return true; }
    bool Pending() const override { return reading_.lc; }
    std::optional<LambdaReading> Take() override {
        if (!reading_.lc)
            return std::nullopt;
        reading_.lc = false;
        return reading_;
    }
    LambdaReading Reading() const override { return reading_; }

  private:
    LambdaReading reading_;
};

// Whether the last record ran an update.
class UpdateWatch final : public LearningView {
  public:
    void RecordProcessed(const LearningShown& s) override { updated = s.updated; }
    bool updated = false;
};

std::array<std::uint8_t, 256> Bytes(const TextGrid& pcn, char sep) {
    LinkTables t;
    StorePcnTable(pcn, t, sep);
    return t.TablePCN;
}

void StandIns(const LearningOptions& options, OfflineLearningResult& r) {
    if (options.source == LambdaSource::Shdk) {
        r.standIns.push_back(options.mode == LearningMode::Precise ? kStandInWidebandPrecise
                                                                   : kStandInWideband);
    }
    r.standIns.push_back(kStandInSwitch);
    r.standIns.push_back(kStandInTarget);
    r.standIns.push_back(kStandInOptions);
    r.standIns.push_back(kStandInEdits + std::to_string(r.unexplainedRewrites));
}

}  // namespace

OfflineLearningResult LearnFromLog(const LogTable& log, const CalibrationGrids& grids,
                                   const LearningImage& image, LearningOptions options, char sep,
                                   const OfflineProgress& progress) {
    OfflineLearningResult result;
    CalibrationGrids work;
    work.SG_PCN = grids.SG_PCN;
    work.SG_BCN = grids.SG_BCN;
    work.SG_RT = grids.SG_RT;
    work.RzStringGrid2 = grids.RzStringGrid2;
    RowLink link;
    if (const auto bad = StorePcnTable(work.SG_PCN, link.tables, sep)) {
        result.ok = false;
        result.error = CellErrorMessage(*bad);
        return result;
    }
    result.before = link.tables.TablePCN;
    link.tables.StartAddrPCN = image.addresses.StartAddrPCN;

    if (options.target != WriteTarget::Olt && options.target != WriteTarget::RamPcn)
        options.target = WriteTarget::Olt;
    std::mutex gridsMutex;
    LearningEngine engine(work, gridsMutex);
    engine.ImageOpened(image);
    engine.SetOptions(options);
    engine.SetEducations(true);
    RowLambda lambda;
    ConnectionLearningState conn;
    UpdateWatch watch;
    engine.SetView(&watch);
    // The precise mode credits each reading to the point one exhaust delay earlier: the
    // rows' own times are its clock.
    double rowTime = 0;
    engine.SetClock([&rowTime] { return rowTime; });

    // The given rule learns from every record with the reading held, so only its value
    // matters; the precise mode learns once per reading, so the moment matters too.
    const bool precise = options.mode == LearningMode::Precise;
    const std::vector<bool> readings = precise ? FreshReadingRows(log) : std::vector<bool>{};
    const auto wideband = log.Column(logcol::WidebandAfr);
    const auto coefficient = log.Column(logcol::LC_COrrect);
    const auto ram = log.Column(logcol::RamRewrite);
    const auto olt = log.Column(logcol::OltRewrite);
    for (std::size_t row = 0; row < log.Rows(); ++row) {
        const LiveRecord live = RecordOfRow(log, row);
        const double k = LoggedValue(log, row, logcol::LC_COrrect);
        const bool reading = precise ? readings[row] : wideband[row] > 0 && coefficient[row] > 0;
        const bool fresh = reading && live.FsensorAirFuelRatio > 0;
        lambda.Set(
            fresh ? k * live.FsensorAirFuelRatio : LoggedValue(log, row, logcol::WidebandAfr),
            fresh);
        rowTime = log.Time(row);
        link.Publish(live);
        engine.ProcessRecord(conn, link, &lambda, nullptr);
        if ((ram[row] != 0 || olt[row] != 0) && !watch.updated)
            ++result.unexplainedRewrites;
        if (progress && (row & 0xFFFF) == 0 &&
            !progress(static_cast<double>(row) / static_cast<double>(log.Rows())))
            break;
    }
    engine.SetView(nullptr);
    const ProgramLearningState st = engine.State();
    result.records = st.records;
    result.samples = st.samples;
    result.updates = st.updates;
    result.gates = conn.gateCounts;
    result.SG_PCN = work.SG_PCN;
    result.after = Bytes(work.SG_PCN, sep);
    for (std::size_t i = 0; i < 256; ++i)
        result.cellsChanged += result.before[i] != result.after[i];
    StandIns(options, result);
    return result;
}

}  // namespace veltrano
