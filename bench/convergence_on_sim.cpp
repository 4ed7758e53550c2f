#include "convergence_on_sim.h"

#include <chrono>
#include <cmath>
#include <map>
#include <mutex>
#include <optional>
#include <thread>

#include "calibration/calibration_file.h"
#include "common/messages.h"
#include "lambda/lc_threat.h"
#include "learning/learning_connection.h"
#include "learning/table_transfer.h"
#include "link/obdii.h"
#include "sim/sim_car.h"

namespace veltrano {
namespace {

using Clock = std::chrono::steady_clock;

bool NeedsExtendedBlock(const FirmwareLayout& l) {
    return l.firmwareName == "J7ES" || l.firmwareName == "J5TRS" || l.firmwareName == "J5LS" ||
           l.FlagDAD;
}

// The mixture error at each point, the last time the engine was there.
class PointErrors {
  public:
    explicit PointErrors(const std::vector<SteadyPoint>& points)
        : points_(points), last_(points.size()) {}

    void Observe(const CarObservation& o) {
        for (std::size_t i = 0; i < points_.size(); ++i) {
            if (std::fabs(o.rpm - points_[i].rpm) < 1 && o.measuredAfr > 0) {
                last_[i] = std::fabs(o.targetAfr / o.measuredAfr - 1);
                if (!first_.count(i))
                    first_[i] = *last_[i];
            }
        }
    }
    std::optional<double> Mean() const { return Average(last_); }
    double Start() const {
        double sum = 0;
        for (const auto& [i, e] : first_)
            sum += e;
        return first_.empty() ? 0 : sum / first_.size();
    }

  private:
    static std::optional<double> Average(const std::vector<std::optional<double>>& v) {
        double sum = 0;
        for (const auto& e : v) {
            if (!e)
                return std::nullopt;
            sum += *e;
        }
        return sum / v.size();
    }
    std::vector<SteadyPoint> points_;
    std::vector<std::optional<double>> last_;
    std::map<std::size_t, double> first_;
};

}  // namespace

SimOutcome ConvergeOnSimulator(const std::vector<std::uint8_t>& image, LambdaSource source,
                               double tableError, const std::vector<SteadyPoint>& points,
                               double dwellSeconds, double limitSeconds) {
    SimOutcome out;
    SimCarOptions carOptions;
    carOptions.image = image;
    carOptions.veErrorPercent = 100 * (1 / (1 + tableError) - 1);
    carOptions.coolantStart = 90;
    for (const SteadyPoint& p : points)
        carOptions.drive.push_back({p.rpm, p.throttle, p.pressure, dwellSeconds});
    SimCar car(std::move(carOptions));
    Calibration cal;
    SilentMessages quiet;
    if (!car.Start(nullptr) || !OpenCalibrationBytes(image, quiet, cal, ','))
        return out;
    TOBDII link(car.EcuPort(), 10400, 10400, 0, false, false, 30);
    if (NeedsExtendedBlock(cal.layout))
        link.Flag_OLT_DAD = true;
    if (!link.Running() || !link.ConnectToECU())
        return out;
    out.connected = true;
    link.FlagOLT = true;
    link.FdadNaklon = cal.firmware.FdadNaklon;
    link.FdadSMeshenie = cal.firmware.FdadSMeshenie;
    std::unique_ptr<TLcThreat> lc;
    if (source == LambdaSource::Shdk)
        lc = TLcThreat::Create(car.LambdaPort(), "LC-1/2");

    std::mutex gridsMutex;
    LearningEngine engine(cal.grids, gridsMutex);
    engine.ImageOpened(LearningImageFrom(cal.firmware, cal.layout));
    LearningOptions o;
    o.target = WriteTarget::Olt;
    o.source = source;
    o.requestDelay = kRequestDelayRange.min;
    engine.SetOptions(o);
    engine.SetEducations(true);
    PointErrors errors(points);
    {
        LearningConnection learning(engine, link, lc.get(), nullptr);
        LoadLinkTables(cal.firmware, cal.layout, learning.Link());
        link.Flag = true;
        const auto start = Clock::now();
        for (double t = 0; t < limitSeconds && out.below2 < 0;
             t = std::chrono::duration<double>(Clock::now() - start).count()) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            const EcuStatus s = car.Ecu().Status();
            errors.Observe({s.point.rpm, s.targetAfr, s.measuredAfr});
            const auto mean = errors.Mean();
            if (!mean)
                continue;
            out.end = *mean;
            const long records = engine.State().records;
            if (out.below5 < 0 && *mean < 0.05) {
                out.below5 = records;
                out.seconds5 = t;
            }
            if (out.below2 < 0 && *mean < 0.02) {
                out.below2 = records;
                out.seconds2 = t;
            }
        }
        link.Flag = false;
        learning.Terminate();
    }
    link.Stop();
    if (lc)
        lc->stop();
    out.start = errors.Start();
    const ProgramLearningState s = engine.State();
    out.records = s.records;
    out.updates = s.updates;
    return out;
}

}  // namespace veltrano
