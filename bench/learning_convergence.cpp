// How many live records the learning cycle needs before the mixture over the visited cells
// is right to within 5 % and 2 %, for the wideband and the narrowband sources.
//
// A synthetic engine: the image's PCN gives a fixed share more (+) or less (-) fuel than the
// engine needs in every cell; the tuner holds four steady points in turn. Every record goes
// straight through LearningEngine::ProcessRecord (OLT target, learning on), so the figures
// count records, not seconds. The PCN in use is what the link's buffer holds: the table the
// ECU has received.
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <mutex>
#include <random>
#include <string>
#include <vector>

#include "calibration/calibration_file.h"
#include "calibration/demo_image.h"
#include "common/messages.h"
#include "common/text_forms.h"
#include "convergence_on_sim.h"
#include "learning/learning_engine.h"
#include "learning/table_transfer.h"
#include "realistic/realistic_table.h"

namespace veltrano {
namespace {

// rpm, kPa, throttle %: steady points a tuner holds, off the axis points.
struct Point {
    double rpm;
    int kpa;
    double tps;
};
constexpr std::array<Point, 4> kPoints{
    {{1500, 45, 12}, {2200, 58, 20}, {2900, 70, 30}, {3600, 82, 42}}};
constexpr int kDwellRecords = 60;  // about three seconds at a point
constexpr long kRecordLimit = 40000;
constexpr double kTargetAfr = 14.7;

// The link as the cycle sees it: a record published per call, the buffers kept.
class BenchLink final : public LearningLink {
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
    void Raise(LinkRequest) override {}
    void ClearFirmwareRequests() override {}
    LinkTables tables;

  private:
    LiveRecord live_;
    std::uint64_t sequence_ = 0;
    bool isNew_ = false;
    bool olt_ = false;
};

class BenchLambda final : public LearningLambda {
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

// The narrowband probe as the tool's curve reads it, pinned at its ends (0.2 V and 0.8 V):
// beyond 15.2 and 13.0 it tells only "lean" or "rich".
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

struct Source {
    const char* name;
    LambdaSource source;
};

struct Outcome {
    double start = 0;
    long below5 = -1;
    long below2 = -1;
    double end = 0;
    long updates = 0;
};

class Run {
  public:
    Run(const std::vector<std::uint8_t>& image, LambdaSource source, double demand)
        : source_(source), demand_(demand) {
        SilentMessages quiet;
        OpenCalibrationBytes(image, quiet, cal_, ',');
        learningImage_ = LearningImageFrom(cal_.firmware, cal_.layout);
        engine_.ImageOpened(learningImage_);
        LearningOptions o;
        o.target = WriteTarget::Olt;
        o.source = source;
        o.requestDelay = kRequestDelayRange.min;
        engine_.SetOptions(o);
        engine_.SetEducations(true);
        LoadLinkTables(cal_.firmware, cal_.layout, link_);
        base_ = link_.tables.TablePCN;
    }

    Outcome Drive() {
        Outcome out;
        out.start = Error();
        for (long n = 1; n <= kRecordLimit && out.below2 < 0; ++n) {
            Record(kPoints[((n - 1) / kDwellRecords) % kPoints.size()]);
            const double e = Error();
            if (out.below5 < 0 && e < 0.05)
                out.below5 = n;
            if (out.below2 < 0 && e < 0.02)
                out.below2 = n;
            out.end = e;
        }
        out.updates = engine_.State().updates;
        return out;
    }

  private:
    // Bilinear PCN at the point, as the ECU interpolates it.
    double Pcn(const Point& p, const std::array<std::uint8_t, 256>& t) const {
        OperatingCell op;
        AxisFractions f;
        LocateOperatingPoint(learningImage_.axes, {double(p.kpa), p.tps, p.rpm},
                             learningImage_.FlagDAD, op, f);
        const bool dad = learningImage_.FlagPcnGridDad;
        const int c = op.RPM_RT, r = dad ? op.DAD_RT : op.TRT_RT;
        const double cf = f.RpmFrac, rf = dad ? f.DadFrac : f.TrtFrac;
        auto at = [&](int cc, int rr) {
            return double(t[(std::min(rr, 16) - 1) * 16 + std::min(cc, 16) - 1]);
        };
        return (1 - cf) * (1 - rf) * at(c, r) + cf * (1 - rf) * at(c + 1, r) +
               (1 - cf) * rf * at(c, r + 1) + cf * rf * at(c + 1, r + 1);
    }
    // Fuel given over fuel needed at the point: 1 is a right mixture.
    double Fuelling(const Point& p) const {
        return Pcn(p, link_.tables.TablePCN) / (Pcn(p, base_) * demand_);
    }
    double Error() const {
        double sum = 0;
        for (const Point& p : kPoints)
            sum += std::fabs(Fuelling(p) - 1);
        return sum / kPoints.size();
    }

    void Record(const Point& p) {
        const double fuelling = Fuelling(p);
        LiveRecord r;
        r.FsensorCrankshaftSpeed = p.rpm + noise_(random_) * 15;
        r.FsensorPressure = p.kpa;
        r.FsensorThrottlePosition = p.tps;
        r.FsensorCoolantTemp = 90;
        r.FsensorAirFuelRatio = kTargetAfr;
        r.FsensorAirCycleRate = 100;
        r.flag_O2_gotov = 1;
        const double afr = kTargetAfr / fuelling;
        if (source_ == LambdaSource::Dk) {
            // Closed loop: the ECU trims the mixture within its authority of ±25 %.
            r.flag_zone_O2 = 1;
            r.FsensorFuelTimeCorrection = std::clamp(1 / fuelling, 0.75, 1.25);
            r.FsensorLamMdaVoltage_2 = 0.45;
        } else {
            r.FsensorFuelTimeCorrection = 1.0;
            r.FsensorLamMdaVoltage_2 = NarrowbandVolts(afr * (1 + 0.002 * noise_(random_)));
        }
        if (source_ == LambdaSource::Shdk)
            lambda_.Publish(afr + 0.05 * noise_(random_));
        link_.Publish(r);
        engine_.ProcessRecord(conn_, link_, &lambda_, nullptr);
    }

    LambdaSource source_;
    double demand_;
    Calibration cal_;
    LearningImage learningImage_;
    std::mutex gridsMutex_;
    LearningEngine engine_{cal_.grids, gridsMutex_};
    BenchLink link_;
    BenchLambda lambda_;
    ConnectionLearningState conn_;
    std::array<std::uint8_t, 256> base_{};
    std::mt19937 random_{7};
    std::normal_distribution<double> noise_{0.0, 1.0};
};

// Left-aligned in `width` characters (UTF-8 letters count once).
std::string Pad(const std::string& text, std::size_t width) {
    std::size_t letters = 0;
    for (unsigned char ch : text)
        letters += (ch & 0xC0) != 0x80;
    return text + std::string(letters < width ? width - letters : 0, ' ');
}

std::string Count(long n) {
    return n < 0 ? "not within " + std::to_string(kRecordLimit) : std::to_string(n);
}

}  // namespace
}  // namespace veltrano

namespace veltrano {
namespace {

constexpr double kSimDwellSeconds = 3.0;
constexpr double kSimLimitSeconds = 90.0;

void SyntheticTable(const std::vector<std::uint8_t>& image) {
    const Source sources[] = {{"wideband (ШДК)", LambdaSource::Shdk},
                              {"narrowband volts (АЦП ДК)", LambdaSource::VoltDk},
                              {"narrowband trim (ДК)", LambdaSource::Dk}};
    std::printf(
        "Synthetic engine: records until the mean mixture error over %zu visited points "
        "falls below 5 %% and 2 %%\n(%d records per point, OLT target, %d samples per "
        "update)\n\n",
        kPoints.size(), kDwellRecords, kHitsPerPointRange.start);
    std::printf("%s %8s %8s %10s %10s %8s %8s\n", Pad("source", 28).c_str(), "table", "start",
                "< 5 %", "< 2 %", "end", "updates");
    for (const Source& s : sources) {
        for (double error : {-25.0, -10.0, 10.0, 25.0}) {
            Run run(image, s.source, 1 / (1 + error / 100));
            const Outcome o = run.Drive();
            std::printf("%s %+7.0f%% %7.1f%% %10s %10s %7.1f%% %8ld\n", Pad(s.name, 28).c_str(),
                        error, o.start * 100, Count(o.below5).c_str(), Count(o.below2).c_str(),
                        o.end * 100, o.updates);
        }
    }
}

std::string SimCount(long records, double seconds) {
    if (records < 0)
        return "not within " + std::to_string(int(kSimLimitSeconds)) + " s";
    char text[48];
    std::snprintf(text, sizeof text, "%ld (%.1f s)", records, seconds);
    return text;
}

void SimulatorTable(const std::vector<std::uint8_t>& image) {
    std::vector<SteadyPoint> points;
    for (const Point& p : kPoints)
        points.push_back({p.rpm, p.tps, double(p.kpa)});
    // The simulated ECU stays in its oxygen zone at part load, which keeps the "АЦП ДК" source
    // from sampling, and reports no closed-loop trim for "ДК": only the wideband runs here.
    const Source sources[] = {{"wideband (ШДК)", LambdaSource::Shdk}};
    std::printf(
        "\nSimulated car over pseudo-terminals, wire timing off: the same points, %.0f s "
        "each;\nerror = mean |target AFR / measured AFR - 1| at each point's last visit\n\n",
        kSimDwellSeconds);
    std::printf("%s %8s %8s %16s %16s %8s %8s %8s\n", Pad("source", 28).c_str(), "table", "start",
                "< 5 %", "< 2 %", "end", "records", "updates");
    for (const Source& s : sources) {
        for (double error : {-25.0, -10.0, 10.0, 25.0}) {
            const SimOutcome o = ConvergeOnSimulator(image, s.source, error / 100, points,
                                                     kSimDwellSeconds, kSimLimitSeconds);
            if (!o.connected) {
                std::printf("%s %+7.0f%%  no connection to the simulator\n",
                            Pad(s.name, 28).c_str(), error);
                continue;
            }
            std::printf("%s %+7.0f%% %7.1f%% %16s %16s %7.1f%% %8ld %8ld\n",
                        Pad(s.name, 28).c_str(), error, o.start * 100,
                        SimCount(o.below5, o.seconds5).c_str(),
                        SimCount(o.below2, o.seconds2).c_str(), o.end * 100, o.records, o.updates);
            std::fflush(stdout);
        }
    }
}

}  // namespace
}  // namespace veltrano

// learning_convergence [--sim] [--realistic-only] [--seed N]: the synthetic engine's table and
// the realistic engine's (both modes, the probe's noise drawn from seed N, 1 by default); with
// --sim also the simulated car's over pseudo-terminals (a minute or more per row).
int main(int argc, char** argv) {
    using namespace veltrano;
    SetDecimalSeparator(',');
    const std::vector<std::uint8_t> image = MakeDemoImage(DefaultDemoOptions());
    bool sim = false, realisticOnly = false;
    unsigned seed = 1;
    for (int i = 1; i < argc; ++i) {
        sim = sim || std::strcmp(argv[i], "--sim") == 0;
        realisticOnly = realisticOnly || std::strcmp(argv[i], "--realistic-only") == 0;
        if (std::strcmp(argv[i], "--seed") == 0 && i + 1 < argc)
            seed = static_cast<unsigned>(std::strtoul(argv[++i], nullptr, 10));
    }
    if (!realisticOnly)
        SyntheticTable(image);
    RealisticTable(30, seed);
    if (sim)
        SimulatorTable(image);
    return 0;
}
