// Responsiveness of the main window while it is connected to the simulated car at its
// fastest: the time from a record the learning cycle has processed to the window's panels
// showing it, and how late a 5 ms timer fires on the window's event loop.
//
//   gui_latency [--seconds N] [--answer-delay MS] [--tab diag|pcn] [--learn] [--surface]
//
// --learn turns learning on, so the fuel table changes while it runs; --surface opens the 3D
// view of the fuel table beside the window (it needs OpenGL: run under Xvfb for the graph).
//
// Exit status: 0 when the targets are met, 2 when they are missed, 1 when the run failed.
#include <unistd.h>
#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QEventLoop>
#include <QLabel>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "app/qt_messages.h"
#include "calibration/demo_image.h"
#include "sim/sim_car.h"

namespace veltrano {
namespace {

namespace fs = std::filesystem;

constexpr int kProbeMs = 5;
constexpr double kLatencyP99TargetMs = 50.0;
constexpr double kStallTargetMs = 100.0;

struct Options {
    int seconds = 20;
    int answerDelayMs = 0;
    bool diagTab = true;  // the live panels in view; false: the fuel table
    bool learn = false;
    bool surface = false;  // the 3D view open on the fuel table
};

bool ParseOptions(int argc, char** argv, Options* o) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--learn" || arg == "--surface") {
            (arg == "--learn" ? o->learn : o->surface) = true;
            if (o->surface)
                o->diagTab = false;
            continue;
        }
        if (i + 1 < argc && arg == "--tab" &&
            (argv[i + 1] == std::string("diag") || argv[i + 1] == std::string("pcn"))) {
            o->diagTab = argv[++i] == std::string("diag");
            continue;
        }
        if (i + 1 < argc && (arg == "--seconds" || arg == "--answer-delay")) {
            char* end = nullptr;
            const long v = std::strtol(argv[++i], &end, 10);
            if (*end != '\0' || v < 0 || v > 1800 || (arg == "--seconds" && v == 0))
                return false;
            (arg == "--seconds" ? o->seconds : o->answerDelayMs) = int(v);
        } else {
            return false;
        }
    }
    return true;
}

double Percentile(std::vector<double> v, double p) {
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, size_t(p * double(v.size())))];
}

// Runs the event loop until done() holds or ms pass.
bool SpinUntil(const std::function<bool()>& done, int ms) {
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > ms)
            return false;
        QEventLoop loop;
        QTimer::singleShot(10, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return true;
}

void SpinFor(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

void WriteSettings(const fs::path& path, const SimCar& car) {
    std::ofstream(path) << "[OBDII]\r\nPort=" << car.EcuPort()
                        << "\r\nBaudRate1nd=38400\r\nBaudRate2nd=10400\r\nDelayRate=10\r\n"
                        << "[LC_1]\r\nPort=" << car.LambdaPort() << "\r\nLamSensor=LC-1/2\r\n";
}

// How late each tick of a precise 5 ms timer comes.
class StallProbe {
  public:
    StallProbe() {
        timer_.setTimerType(Qt::PreciseTimer);
        QObject::connect(&timer_, &QTimer::timeout, [this] { Tick(); });
    }
    void Start() {
        clock_.start();
        last_ = clock_.nsecsElapsed();
        timer_.start(kProbeMs);
    }
    void Stop() { timer_.stop(); }
    const std::vector<double>& Lateness() const { return lateness_; }

  private:
    void Tick() {
        const qint64 now = clock_.nsecsElapsed();
        lateness_.push_back(std::max(0.0, double(now - last_) / 1e6 - kProbeMs));
        last_ = now;
    }
    QTimer timer_;
    QElapsedTimer clock_;
    qint64 last_ = 0;
    std::vector<double> lateness_;
};

// When the newest shown record first reaches the screen: the next paint of one of the DIAG
// panels it changed. The window's refresh timer stamps each shown record (this slot runs after
// the window's own); a record that changed none of the watched texts gives no figure.
class PaintProbe : public QObject {
  public:
    explicit PaintProbe(TMainForm& w) : w_(w) {}
    bool Attach() {
        std::vector<QLabel*> panels;
        for (const char* name : kWatched)
            if (QLabel* p = w_.Panel(name))
                panels.push_back(p);
        for (QTimer* t : w_.findChildren<QTimer*>(Qt::FindDirectChildrenOnly))
            if (!panels.empty() && t->isActive() && !t->isSingleShot()) {
                QObject::connect(t, &QTimer::timeout, this, [this] { Stamp(); });
                for (QLabel* p : panels)
                    p->installEventFilter(this);
                shown_ = w_.Latencies().size();
                return true;
            }
        return false;
    }
    const std::vector<double>& Painted() const { return painted_; }

  protected:
    bool eventFilter(QObject* o, QEvent* e) override {
        if (e->type() == QEvent::Paint && recordAt_) {
            painted_.push_back(Ms(Clock::now() - *recordAt_));
            recordAt_.reset();
        }
        return QObject::eventFilter(o, e);
    }

  private:
    static constexpr const char* kWatched[] = {"RPM_panel", "TPS_panel", "AFR_PANEL", "inj_panel",
                                               "AIR_panel", "GBC_panel", "uoz_panel"};
    using Clock = std::chrono::steady_clock;
    static double Ms(Clock::duration d) {
        return std::chrono::duration<double, std::milli>(d).count();
    }
    void Stamp() {
        const auto& lat = w_.Latencies();
        if (lat.size() == shown_)
            return;
        shown_ = lat.size();
        recordAt_ = Clock::now() - std::chrono::duration_cast<Clock::duration>(
                                       std::chrono::duration<double, std::milli>(lat.back()));
    }
    TMainForm& w_;
    size_t shown_ = 0;
    std::optional<Clock::time_point> recordAt_;
    std::vector<double> painted_;
};

void Report(const char* what, const std::vector<double>& v) {
    std::printf("%-26s p50 %6.2f ms  p99 %6.2f ms  max %6.2f ms  (n %zu)\n", what,
                Percentile(v, 0.5), Percentile(v, 0.99),
                v.empty() ? 0.0 : *std::max_element(v.begin(), v.end()), v.size());
}

// Streams for o.seconds with the probe running, then prints the figures.
int Measure(TMainForm& w, const Options& o) {
    const size_t shownBefore = w.Latencies().size();
    const auto decodedBefore = w.View().Records();
    StallProbe probe;
    PaintProbe paint(w);
    const bool painting = paint.Attach();
    probe.Start();
    SpinFor(o.seconds * 1000);
    probe.Stop();
    const std::vector<double> latency(w.Latencies().begin() + long(shownBefore),
                                      w.Latencies().end());
    const auto decoded = w.View().Records() - decodedBefore;
    const auto& late = probe.Lateness();
    const double p99 = Percentile(latency, 0.99);
    const double longest = late.empty() ? 0.0 : *std::max_element(late.begin(), late.end());
    std::printf("run %d s, answer delay %d ms, %s tab, platform %s, learning %s\n", o.seconds,
                o.answerDelayMs, o.diagTab ? "DIAG" : "fuel table",
                qPrintable(QGuiApplication::platformName()), o.learn ? "on" : "off");
    if (o.surface)
        std::printf("3D view open: %s, surface data replaced %d times\n",
                    w.Surface() && w.Surface()->HasGraph() ? "graph" : "no OpenGL, notice only",
                    w.Surface() ? w.Surface()->Uploads() : 0);
    std::printf("records decoded %llu (%.1f/s), shown %zu (%.1f/s), probe ticks %zu\n",
                (unsigned long long)decoded, double(decoded) / o.seconds, latency.size(),
                double(latency.size()) / o.seconds, late.size());
    Report("record -> panel latency", latency);
    if (painting && !paint.Painted().empty())
        Report("record -> panel painted", paint.Painted());
    Report("event-loop stall (5 ms)", late);
    const bool met = !latency.empty() && p99 < kLatencyP99TargetMs && longest <= kStallTargetMs;
    std::printf("targets (p99 < %.0f ms, no stall over %.0f ms): %s\n", kLatencyP99TargetMs,
                kStallTargetMs, met ? "met" : "MISSED");
    return met ? 0 : 2;
}

int Run(const Options& o) {
    const fs::path dir =
        fs::temp_directory_path() / ("veltrano_gui_latency_" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    SimCarOptions carOptions;
    carOptions.image = MakeDemoImage(DefaultDemoOptions());
    carOptions.answerDelayMs = o.answerDelayMs;
    SimCar car(std::move(carOptions));
    std::string error;
    if (!car.Start(&error)) {
        std::fprintf(stderr, "simulator: %s\n", error.c_str());
        return 1;
    }
    WriteSettings(dir / "Settings.ini", car);
    WindowOptions wo;
    wo.settingsPath = (dir / "Settings.ini").string();
    wo.showFirstRunDialog = false;
    wo.logDirectory = dir.string();
    int status = 1;
    {
        TMainForm w(wo);
        w.Messages().SetInteractive(false);
        w.show();
        if (!w.OpenFirmwareBytes(MakeDemoImage(DefaultDemoOptions()), "demo.bin")) {
            std::fprintf(stderr, "the demo image did not open\n");
        } else {
            bool finished = false, ok = false;
            QObject::connect(&w, &TMainForm::connectFinished, [&](bool r) {
                finished = true;
                ok = r;
            });
            w.Connect();
            if (!SpinUntil([&] { return finished; }, 20000) || !ok) {
                std::fprintf(stderr, "no connection to the simulator\n");
            } else if (!SpinUntil([&] { return !w.Latencies().empty(); }, 10000)) {
                std::fprintf(stderr, "no record reached the window\n");
            } else {
                w.SetActivePage(o.diagTab ? TMainForm::kDiag : TMainForm::kPcn);
                if (o.learn && !w.Educations())
                    w.ToggleLearning();
                if (o.surface) {
                    w.ShowSurfaceView();
                    SpinFor(1000);  // the first frame
                }
                status = Measure(w, o);
            }
        }
        w.Disconnect();
    }
    fs::remove_all(dir);
    return status;
}

}  // namespace
}  // namespace veltrano

int main(int argc, char** argv) {
    veltrano::Options o;
    if (!veltrano::ParseOptions(argc, argv, &o)) {
        std::fprintf(stderr,
                     "usage: %s [--seconds N (1..1800, default 20)] "
                     "[--answer-delay MS (default 0)] [--tab diag|pcn] [--learn] [--surface]\n",
                     argv[0]);
        return 1;
    }
    if (!std::getenv("QT_QPA_PLATFORM") && !std::getenv("DISPLAY") &&
        !std::getenv("WAYLAND_DISPLAY"))
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    return veltrano::Run(o);
}
