#include "realistic/realistic_drive.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <mutex>
#include <optional>

#include "calibration/calibration_file.h"
#include "common/messages.h"
#include "common/text_forms.h"
#include "learning/table_transfer.h"
#include "link/live_decoder.h"
#include "sim/builtin_image.h"
#include "sim/ecu_config.h"
#include "sim/ecu_tables.h"
#include "sim/engine_model.h"
#include "sim/live_blocks.h"

namespace veltrano {
namespace {

// Records' worth of bilinear share a cell needs in a lap to count as visited.
constexpr double kDwellRecords = 25;

// The link as the cycle sees it: a record published per call, the buffers kept.
class DriveLink final : public LearningLink {
  public:
    void Publish(LiveRecord r) {
        r.sequence = ++sequence_;
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
    bool SwitchedToRam() const override { return olt_; }
    void SetRequestDelay(int) override {}
    int SendingDelay() const override { return 0; }
    void WithTables(const std::function<void(LinkTables&)>& fn) override { fn(tables); }
    void Raise(LinkRequest) override { raised = true; }
    void ClearFirmwareRequests() override {}
    LinkTables tables;
    bool raised = false;

  private:
    LiveRecord live_;
    std::uint64_t sequence_ = 0;
    bool isNew_ = false;
    bool olt_ = false;
};

class DriveLambda final : public LearningLambda {
  public:
    void Publish(double afr) {
        reading_.AFR = afr;
        reading_.stochiometric = 1.47;
        pending_ = true;
    }
    bool Running() const override { return true; }
    bool Pending() const override { return pending_; }
    std::optional<LambdaReading> Take() override {
        if (!pending_)
            return std::nullopt;
        pending_ = false;
        return reading_;
    }
    LambdaReading Reading() const override { return reading_; }

  private:
    LambdaReading reading_;
    bool pending_ = false;
};

// The narrowband probe as the tool's curve reads it, pinned at its ends.
double NarrowbandVolts(double afr) {
    constexpr std::array<std::pair<double, double>, 6> curve{
        {{15.2, 0.2}, {15.0, 0.4}, {14.7, 0.45}, {14.4, 0.6}, {14.0, 0.7}, {13.0, 0.8}}};
    if (afr >= curve.front().first)
        return 0.1;
    if (afr <= curve.back().first)
        return 0.9;
    for (std::size_t i = 1; i < curve.size(); ++i) {
        if (afr >= curve[i].first) {
            const auto [a0, v0] = curve[i - 1];
            const auto [a1, v1] = curve[i];
            return v0 + (afr - a0) / (a1 - a0) * (v1 - v0);
        }
    }
    return 0.9;
}

EngineSettings EngineFor(const DriveSetup& setup) {
    EngineSettings e;
    e.seed = setup.seed;
    e.coolantStart = 90;
    e.script = RealisticDriveScript();
    if (setup.realistic) {
        e.realistic = RealisticSettings{};
        e.trueVeSurface = RealisticVeSurface();
    } else {
        e.trueVeErrorPercent = setup.flatErrorPercent;
    }
    return e;
}

}  // namespace

struct RealisticDrive::Impl {
    explicit Impl(const DriveSetup& s) : setup(s), model(EngineFor(s)) {
        SetDecimalSeparator(',');
        memory = OwnEcuImage();
        memory.resize(0x10000);
        calibrated = memory;
        config = ReadEcuConfig(memory);
        tables = ChooseTables(config, 0);
        SilentMessages quiet;
        OpenCalibrationBytes(memory, quiet, cal, ',');
        engine.ImageOpened(LearningImageFrom(cal.firmware, cal.layout));
        LearningOptions o;
        o.target = s.target;
        o.source = s.source;
        o.mode = s.mode;
        o.requestDelay = kRequestDelayRange.min;
        engine.SetOptions(o);
        engine.SetEducations(true);
        engine.SetClock([this] { return t; });
        LoadLinkTables(cal.firmware, cal.layout, link);
        model.HoldCoolant(90);
        surface = RealisticVeSurface();
        // A dry lap finds the cells the drive dwells in; where it runs does not depend on
        // the tables.
        EngineModel dry(EngineFor(s));
        dry.HoldCoolant(90);
        for (double lap = RealisticDriveScript().back().seconds; lap > 0; lap -= s.recordSeconds) {
            dry.Advance(s.recordSeconds);
            ++dryRecords;
            Tally(dry.Evaluate(memory, calibrated, config, tables));
        }
        startError = Means().signedMean;
    }

    // Remembers a steady point of the lap with its cells' shares.
    void Tally(const EngineState& s) {
        if (s.fuelCut || s.idle || s.transientRich > 0 || s.transientLean > 0)
            return;
        LapPoint p;
        p.speed = s.at.speed;
        p.load = tables.pcn.byPressure ? s.at.pressure : s.at.throttle;
        const double x = std::clamp(p.speed / 16.0, 0.0, 15.0);
        const double y = std::clamp(p.load / 16.0, 0.0, 15.0);
        const int c0 = int(x), r0 = int(y);
        const double fx = x - c0, fy = y - r0;
        const int c1 = std::min(c0 + 1, 15), r1 = std::min(r0 + 1, 15);
        p.cell = {r0 * 16 + c0, r0 * 16 + c1, r1 * 16 + c0, r1 * 16 + c1};
        p.share = {(1 - fx) * (1 - fy), fx * (1 - fy), (1 - fx) * fy, fx * fy};
        for (int k = 0; k < 4; ++k) {
            tally[p.cell[k]] += p.share[k];
            if (tally[p.cell[k]] >= 1 && reached[p.cell[k]] == 0)
                reached[p.cell[k]] = dryRecords;
        }
        lap.push_back(p);
    }

    // Per cell, the share-weighted mean mixture error at the lap's points around it.
    struct CellMeans {
        std::array<double, 256> signedMean{};
        std::array<double, 256> absMean{};
    };
    CellMeans Means() const {
        std::array<double, 256> use{}, ref{};
        for (int i = 0; i < 256; ++i) {
            use[i] = memory[tables.pcn.address + i];
            ref[i] = calibrated[tables.pcnReference.address + i];
        }
        CellMeans m;
        for (const LapPoint& p : lap) {
            const double ve = setup.realistic
                                  ? 1 + SurfaceValue(surface.data(), p.speed, p.load) / 100
                                  : 1 + setup.flatErrorPercent / 100;
            const double e = ve * SurfaceValue(ref.data(), p.speed, p.load) /
                                 SurfaceValue(use.data(), p.speed, p.load) -
                             1;
            for (int k = 0; k < 4; ++k) {
                m.signedMean[p.cell[k]] += p.share[k] * e;
                m.absMean[p.cell[k]] += p.share[k] * std::fabs(e);
            }
        }
        for (int i = 0; i < 256; ++i) {
            if (tally[i] > 0) {
                m.signedMean[i] /= tally[i];
                m.absMean[i] /= tally[i];
            }
        }
        return m;
    }

    void NoteOvershoot() {
        const CellMeans m = Means();
        for (int i = 0; i < 256; ++i) {
            const double past = startError[i] >= 0 ? -m.signedMean[i] : m.signedMean[i];
            overshoot[i] = std::max(overshoot[i], past);
        }
    }

    DriveSetup setup;
    EngineModel model;
    std::vector<std::uint8_t> memory;
    std::vector<std::uint8_t> calibrated;
    EcuConfig config;
    TablesInUse tables;
    std::array<double, 256> surface{};
    std::array<double, 256> startError{};
    std::array<double, 256> overshoot{};
    std::array<double, 256> tally{};
    std::array<long, 256> reached{};  // the lap's record that gave a cell a record's share
    long dryRecords = 0;
    struct LapPoint {
        double speed = 0;
        double load = 0;
        std::array<int, 4> cell{};
        std::array<double, 4> share{};
    };
    std::vector<LapPoint> lap;

    Calibration cal;
    std::mutex gridsMutex;
    LearningEngine engine{cal.grids, gridsMutex};
    DriveLink link;
    DriveLambda lambda;
    ConnectionLearningState conn;

    double t = 0;
    long records = 0;
    double nextReading = 0;
    bool readingTainted = false;
    bool windowTainted = false;
    std::optional<double> writeAt;
    std::array<std::uint8_t, 256> pending{};
};

RealisticDrive::RealisticDrive(const DriveSetup& setup) : impl_(std::make_unique<Impl>(setup)) {}

RealisticDrive::~RealisticDrive() = default;

void RealisticDrive::Record() {
    Impl& m = *impl_;
    m.t += m.setup.recordSeconds;
    m.records += 1;
    m.model.Advance(m.setup.recordSeconds);
    if (m.writeAt && m.t >= *m.writeAt) {
        std::copy(m.pending.begin(), m.pending.end(), m.memory.begin() + m.tables.pcn.address);
        m.writeAt.reset();
        m.NoteOvershoot();
    }
    const EngineState s = m.model.Evaluate(m.memory, m.calibrated, m.config, m.tables);

    LiveRecord r = m.link.Live();
    const std::vector<std::uint8_t> block = LiveBlock0F(s, m.config);
    DecodeLiveBlock(block, m.cal.firmware.FdadNaklon, m.cal.firmware.FdadSMeshenie, r);
    bool taint = s.probeSeesTransient;
    switch (m.setup.source) {
        case LambdaSource::VoltDk:
            r.flag_zone_O2 = 0;
            r.FsensorLamMdaVoltage_2 = NarrowbandVolts(s.measuredAfr);
            break;
        case LambdaSource::Dk:
            // The ECU's own loop settled on what its probe reads, through the same exhaust.
            r.flag_zone_O2 = 1;
            r.FsensorFuelTimeCorrection = std::clamp(s.measuredAfr / s.targetAfr, 0.75, 1.25);
            break;
        default:
            if (m.t >= m.nextReading) {
                m.lambda.Publish(s.measuredAfr);
                m.readingTainted = s.probeSeesTransient;
                m.nextReading += m.setup.readingSeconds;
            }
            taint = m.readingTainted;
            break;
    }
    const long samples = m.engine.State().samples;
    const long updates = m.engine.State().updates;
    m.link.raised = false;
    m.link.Publish(r);
    m.engine.ProcessRecord(m.conn, m.link, &m.lambda, nullptr);
    const ProgramLearningState after = m.engine.State();
    if (after.samples > samples && taint)
        m.windowTainted = true;
    if (after.updates > updates) {
        taintedUpdates_ += m.windowTainted ? 1 : 0;
        m.windowTainted = false;
    } else if (after.count_log == 0) {
        m.windowTainted = false;
    }
    if (m.link.raised) {
        m.pending = m.link.tables.TablePCN;
        m.writeAt = m.t + m.setup.writeSeconds;
    }
    for (int i = 0; i < 256; ++i) {
        if (m.tally[i] >= kDwellRecords)
            overshoot_ = std::max(overshoot_, m.overshoot[i]);
    }
}

double RealisticDrive::Seconds() const {
    return impl_->t;
}

long RealisticDrive::Records() const {
    return impl_->records;
}

LearningEngine& RealisticDrive::Engine() {
    return impl_->engine;
}

ProgramLearningState RealisticDrive::State() const {
    return impl_->engine.State();
}

std::vector<CellMixtureError> RealisticDrive::VisitedErrors() const {
    const double minRecords = kDwellRecords;
    std::vector<CellMixtureError> out;
    const Impl::CellMeans m = impl_->Means();
    for (int i = 0; i < 256; ++i) {
        if (impl_->tally[i] >= minRecords)
            out.push_back({i % 16 + 1, i / 16 + 1, m.absMean[i]});
    }
    return out;
}

std::vector<long> RealisticDrive::CellsReached() const {
    std::vector<long> out;
    for (int i = 0; i < 256; ++i) {
        if (impl_->tally[i] >= kDwellRecords)
            out.push_back(impl_->reached[i]);
    }
    std::sort(out.begin(), out.end());
    return out;
}

std::vector<double> RealisticDrive::PcnInUse() const {
    std::vector<double> out(256);
    for (int i = 0; i < 256; ++i)
        out[i] = impl_->memory[impl_->tables.pcn.address + i] / 128.0;
    return out;
}

double Mean(const std::vector<CellMixtureError>& cells) {
    double sum = 0;
    for (const CellMixtureError& c : cells)
        sum += std::fabs(c.error);
    return cells.empty() ? 0 : sum / double(cells.size());
}

double Percentile95(const std::vector<CellMixtureError>& cells) {
    if (cells.empty())
        return 0;
    std::vector<double> e;
    for (const CellMixtureError& c : cells)
        e.push_back(std::fabs(c.error));
    std::sort(e.begin(), e.end());
    const std::size_t k = std::min(e.size() - 1, std::size_t(std::ceil(0.95 * e.size())) - 1);
    return e[k];
}

}  // namespace veltrano
