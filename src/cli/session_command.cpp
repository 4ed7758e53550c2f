#include "cli/session_command.h"

#include <atomic>
#include <chrono>
#include <climits>
#include <ctime>
#include <filesystem>
#include <iostream>
#include <map>
#include <memory>
#include <mutex>

#include "app/settings/settings.h"
#include "app/settings/settings_path.h"
#include "calibration/calibration_file.h"
#include "cli/cli_messages.h"
#include "cli/cli_support.h"
#include "cli/stop_request.h"
#include "common/text_forms.h"
#include "lambda/lc_threat.h"
#include "learning/learning_connection.h"
#include "learning/table_transfer.h"
#include "link/obdii.h"
#include "log/log_format.h"
#include "log/session_log.h"

namespace veltrano::cli {
namespace {

constexpr char kSep = ',';

std::optional<long> PositiveNumber(const std::string& text) {
    const auto v = ParseInteger(text);
    if (!v || *v <= 0 || *v > INT_MAX)
        return std::nullopt;
    return static_cast<long>(*v);
}

// Reads an option's value through `parse`; false with *error set when it does not fit.
template <class T, class Parse>
bool TakeValue(const Parsed& p, const std::string& name, T& out, Parse parse, std::string* error) {
    const auto it = p.values.find(name);
    if (it == p.values.end())
        return true;
    const auto v = parse(it->second);
    if (!v) {
        *error = "bad value for " + name + ": " + it->second;
        return false;
    }
    out = *v;
    return true;
}

template <class E>
auto Choice(const std::map<std::string, E>& choices) {
    return [&choices](const std::string& text) -> std::optional<E> {
        const auto it = choices.find(text);
        return it == choices.end() ? std::nullopt : std::optional<E>(it->second);
    };
}

std::optional<int> InRange(const std::string& text, SpinRange range) {
    const auto v = ParseInteger(text);
    if (!v || *v < range.min || *v > range.max)
        return std::nullopt;
    return static_cast<int>(*v);
}

std::string ExecutableDir() {
    std::error_code ec;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::string(".") : exe.parent_path().string();
}

// The window's settings: the connection values and the learning boxes' starting values.
AppSettings ReadSettings(const std::string& path) {
    AppSettings s;
    LoadSettings(path, s);
    AppSettings dialog;
    if (LoadDialogSettings(path, dialog))
        s.countRtRewrite = dialog.countRtRewrite;
    return s;
}

bool NeedsExtendedBlock(const FirmwareLayout& l) {
    return l.firmwareName == "J7ES" || l.firmwareName == "J5TRS" || l.firmwareName == "J5LS" ||
           l.FlagDAD;
}

// Counts the records; ends the session once the record limit is reached, so no record after
// the last one counted is processed or logged.
class SessionView final : public LearningView {
  public:
    SessionView(long limit, LearningConnection& learning, std::atomic<bool>& done,
                const std::atomic<long>& blocks)
        : limit_(limit), learning_(learning), done_(done), blocks_(blocks) {}
    void RecordProcessed(const LearningShown&) override {
        if (++records_ >= limit_ && limit_ > 0) {
            learning_.Terminate();
            done_ = true;
        }
    }
    void LogStatus(const std::string& text) override {
        if (!text.empty())
            std::cerr << "veltrano-cli: session log: " << text << '\n';
    }
    void CellNotNumber(const std::string& text) override { std::cerr << text << '\n'; }
    // Records processed plus memory blocks written: progress of any kind.
    long Activity() const { return records_.load() + blocks_.load(); }

  private:
    long limit_;
    std::atomic<long> records_{0};
    LearningConnection& learning_;
    std::atomic<bool>& done_;
    const std::atomic<long>& blocks_;
};

// Without a new record or a written block for this long the ECU is taken to have stopped
// answering.
constexpr double kStallSeconds = 5.0;

enum class End { Limit, Signal, Stalled };

// Waits for the limit, the time, a stop signal or a stalled link.
End WaitForEnd(StopRequest& stop, const std::atomic<bool>& done, double seconds,
               const SessionView& view) {
    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    auto lastRecord = start;
    long activity = 0;
    while (!done.load()) {
        const auto now = Clock::now();
        if (seconds > 0 && std::chrono::duration<double>(now - start).count() >= seconds)
            return End::Limit;
        if (view.Activity() != activity) {
            activity = view.Activity();
            lastRecord = now;
        } else if (std::chrono::duration<double>(now - lastRecord).count() >= kStallSeconds) {
            return End::Stalled;
        }
        if (stop.Wait(std::chrono::milliseconds(250)))
            return End::Signal;
    }
    return End::Limit;
}

LearningOptions OptionsFor(const SessionArgs& a, const AppSettings& s) {
    LearningOptions o;
    o.target = a.target;
    o.source = a.source;
    o.mode = a.mode;
    o.requestDelay = a.delay.value_or(kRequestDelayRange.Clamp(s.delayRate));
    o.hitsPerPoint = a.hits.value_or(kHitsPerPointRange.Clamp(s.countRtRewrite));
    return o.Clamped();
}

// The settings' text goes to the reader as the window passes it: the default "LC_1", like any
// text but "LC-1/2" and "AEM", selects no decoder.
std::string LambdaType(const SessionArgs& a, const AppSettings& s) {
    return a.lambdaType.empty() ? s.lamSensor : a.lambdaType;
}

struct Totals {
    long records = 0;
    long updates = 0;
    long writes = 0;
    bool stalled = false;
};

// The connected part: link, reader, learning and log, until the end is asked for.
bool RunConnected(const SessionArgs& a, const AppSettings& s, Calibration& cal, Totals& totals,
                  std::filesystem::path& logPath) {
    const std::filesystem::path logs = a.logDir.empty() ? SessionLog::DefaultDirectory()
                                                        : std::filesystem::path(a.logDir) / "Logs";
    std::error_code ec;
    std::filesystem::create_directories(logs, ec);
    if (!std::filesystem::is_directory(logs, ec)) {
        Fail("session: cannot create the log folder " + logs.string());
        return false;
    }
    StopRequest stop;  // before the first thread starts
    std::unique_ptr<TLcThreat> lc;
    const std::string lambdaType = LambdaType(a, s);
    if (!a.lambdaPort.empty() && !TLcThreat::KnownSensor(lambdaType)) {
        std::cerr << "session: the wideband type \"" << lambdaType
                  << "\" of the settings is neither LC-1/2 nor AEM: no wideband readings"
                     " (--lambda-type chooses one)\n";
    } else if (!a.lambdaPort.empty()) {
        lc = TLcThreat::Create(a.lambdaPort, lambdaType);
        if (!lc || !lc->Running()) {
            Fail("session: cannot open the wideband port " + a.lambdaPort);
            return false;
        }
    }
    SilentMessages quiet;
    std::atomic<long> blocks{0};
    LinkHooks hooks;
    hooks.messages = &quiet;
    hooks.progress = [&blocks](int, int) { ++blocks; };
    auto link = std::make_unique<TOBDII>(a.port, s.baudRate1, s.baudRate2, s.delayRate, false,
                                         false, 30, std::move(hooks));
    if (!link->Running()) {
        Fail("session: cannot open the port " + a.port);
        return false;
    }
    if (NeedsExtendedBlock(cal.layout))
        link->Flag_OLT_DAD = true;
    if (!link->ConnectToECU()) {
        link->Stop();
        Fail("session: the ECU on " + a.port + " does not answer");
        return false;
    }
    if (a.target == WriteTarget::Olt)
        link->FlagOLT = true;
    link->FdadNaklon = cal.firmware.FdadNaklon;
    link->FdadSMeshenie = cal.firmware.FdadSMeshenie;

    std::mutex gridsMutex;
    LearningEngine engine(cal.grids, gridsMutex);
    engine.ImageOpened(LearningImageFrom(cal.firmware, cal.layout));
    engine.SetOptions(OptionsFor(a, s));
    engine.SetEducations(a.learn);

    auto log = std::make_unique<SessionLog>(logs, LogStampNow());
    logPath = log->Path();

    std::atomic<bool> done{false};
    End end = End::Limit;
    {
        LearningConnection learning(engine, *link, lc.get(), std::move(log));
        LoadLinkTables(cal.firmware, cal.layout, learning.Link());
        SessionView view(a.records, learning, done, blocks);
        engine.SetView(&view);
        link->Flag = true;
        end = WaitForEnd(stop, done, a.seconds, view);
        link->Flag = false;
        learning.Terminate();
        link->Stop();
        if (lc) {
            lc->ExitReadPort = true;
            lc->stop();
        }
        // The cycle ends here, before the view it reports to.
    }
    engine.SetView(nullptr);
    if (end == End::Signal)
        std::cout << "interrupted\n";
    const ProgramLearningState st = engine.State();
    totals = {st.records, st.updates, st.writesRequested, end == End::Stalled};
    return true;
}

}  // namespace

std::optional<SessionArgs> ParseSessionArgs(const Args& args, std::string* error) {
    static const std::map<std::string, LambdaSource> sources = {
        {"shdk", LambdaSource::Shdk}, {"voltdk", LambdaSource::VoltDk}, {"dk", LambdaSource::Dk}};
    static const std::map<std::string, WriteTarget> targets = {{"olt", WriteTarget::Olt},
                                                               {"ram", WriteTarget::RamPcn}};
    static const std::map<std::string, std::string> types = {{"LC-1/2", "LC-1/2"}, {"AEM", "AEM"}};
    static const std::map<std::string, LearningMode> modes = {{"alg2", LearningMode::Alg2},
                                                              {"precise", LearningMode::Precise}};
    const Parsed p = ParseArgs(
        args, {"--learn"},
        {"--port", "--image", "--lambda-port", "--lambda-type", "--source", "--target", "--hits",
         "--delay", "--mode", "--records", "--seconds", "--log-dir", "--save-image", "--settings"},
        0);
    if (!p.error.empty()) {
        *error = p.error;
        return std::nullopt;
    }
    SessionArgs a;
    const auto text = [](const std::string& t) { return std::optional<std::string>(t); };
    const auto hits = [](const std::string& t) { return InRange(t, kHitsPerPointRange); };
    const auto delay = [](const std::string& t) { return InRange(t, kRequestDelayRange); };
    a.learn = p.flags.count("--learn") > 0;
    const bool ok = TakeValue(p, "--port", a.port, text, error) &&
                    TakeValue(p, "--image", a.image, text, error) &&
                    TakeValue(p, "--lambda-port", a.lambdaPort, text, error) &&
                    TakeValue(p, "--lambda-type", a.lambdaType, Choice(types), error) &&
                    TakeValue(p, "--source", a.source, Choice(sources), error) &&
                    TakeValue(p, "--target", a.target, Choice(targets), error) &&
                    TakeValue(p, "--mode", a.mode, Choice(modes), error) &&
                    TakeValue(p, "--hits", a.hits, hits, error) &&
                    TakeValue(p, "--delay", a.delay, delay, error) &&
                    TakeValue(p, "--records", a.records, PositiveNumber, error) &&
                    TakeValue(p, "--seconds", a.seconds, PositiveNumber, error) &&
                    TakeValue(p, "--log-dir", a.logDir, text, error) &&
                    TakeValue(p, "--save-image", a.saveImage, text, error) &&
                    TakeValue(p, "--settings", a.settingsPath, text, error);
    if (!ok)
        return std::nullopt;
    if (a.port.empty() || a.image.empty()) {
        *error = "--port and --image are required";
        return std::nullopt;
    }
    if (a.records > 0 && a.seconds > 0) {
        *error = "--records and --seconds exclude each other";
        return std::nullopt;
    }
    if (!a.lambdaType.empty() && a.lambdaPort.empty()) {
        *error = "--lambda-type needs --lambda-port";
        return std::nullopt;
    }
    return a;
}

int Session(const Args& args) {
    std::string error;
    const auto a = ParseSessionArgs(args, &error);
    if (!a) {
        Fail("session: " + error);
        return 2;
    }
    const std::string settingsPath =
        a->settingsPath.empty() ? SettingsFilePath(ExecutableDir()) : a->settingsPath;
    const AppSettings settings = ReadSettings(settingsPath);
    SetDecimalSeparator(kSep);
    Calibration cal;
    if (!OpenImage(a->image, cal, kSep))
        return 1;
    Totals totals;
    std::filesystem::path logPath;
    if (!RunConnected(*a, settings, cal, totals, logPath))
        return 1;
    std::cout << "records: " << totals.records << '\n'
              << "updates: " << totals.updates << '\n'
              << "writes requested: " << totals.writes << '\n'
              << "log: " << logPath.string() << '\n';
    if (!a->saveImage.empty()) {
        StderrMessages messages;
        if (!SaveCalibration(cal, a->saveImage, messages, kSep)) {
            if (messages.warnings == 0)
                Fail("session: cannot save " + a->saveImage);
            return 1;
        }
        std::cout << "saved: " << a->saveImage << '\n';
    }
    // What was learned until then is kept; the failure still shows in the exit code.
    if (totals.stalled)
        return Fail("session: the ECU on " + a->port + " stopped answering");
    return 0;
}

}  // namespace veltrano::cli
