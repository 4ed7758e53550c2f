#include "sim/ecu_simulator_impl.h"

#include <poll.h>
#include <unistd.h>

#include "sim/line_speed.h"

namespace veltrano {
namespace {

using Clock = SimClock;

constexpr int kFrameGapMs = 50;                  // a partial frame older than this is abandoned
constexpr int kIdleWakeMs = 500;                 // housekeeping (session time-out) while idle
constexpr std::size_t kRequestLogLimit = 50000;  // a long demo run must not grow without end

}  // namespace

EngineSettings SettingsFrom(const EcuSimOptions& o) {
    EngineSettings s;
    s.script = o.script;
    s.seed = o.seed;
    s.coolantStart = o.coolantStart;
    s.warmupSeconds = o.warmupSeconds;
    s.trueVeErrorPercent = o.trueVeErrorPercent;
    s.trueVeSurface = o.trueVeSurface;
    s.afrNoise = o.afrNoise;
    return s;
}

EngineState EcuSimulator::Impl::EngineNow() {
    const auto now = Clock::now();
    engine.Advance(std::chrono::duration<double>(now - lastEngineUpdate).count());
    lastEngineUpdate = now;
    return engine.Evaluate(state.memory, state.calibrated, state.config,
                           ChooseTables(state.config, state.ramCode));
}

void EcuSimulator::Impl::Run() {
    std::vector<std::uint8_t> buffer(4096);
    std::vector<std::uint8_t> echo;
    auto lastByte = Clock::now();
    while (!stop.Stopped()) {
        pollfd fds[2] = {{port.MasterFd(), POLLIN, 0}, {wakePipe[0], POLLIN, 0}};
        poll(fds, 2, collector.Partial() ? kFrameGapMs : kIdleWakeMs);
        if (stop.Stopped()) {
            break;
        }
        const long n = port.Read(buffer.data(), buffer.size());
        if (n < 0) {
            break;
        }
        if (n == 0) {
            Housekeeping(lastByte);
            if ((fds[0].revents & (POLLHUP | POLLERR)) != 0) {
                stop.SleepFor(std::chrono::milliseconds(5));  // nobody on the other end yet
            }
            continue;
        }
        lastByte = Clock::now();
        HandleChunk(buffer.data(), n, echo);
    }
}

void EcuSimulator::Impl::Housekeeping(Clock::time_point lastByte) {
    const auto now = Clock::now();
    if (collector.Partial() && now - lastByte > std::chrono::milliseconds(kFrameGapMs)) {
        collector.Reset();
    }
    std::lock_guard<std::mutex> lock(mutex);
    if (state.communicating &&
        now - lastRequest > std::chrono::milliseconds(options.sessionTimeoutMs)) {
        state.communicating = false;
        state.diagnosticSession = false;
        state.lineBaud = state.startBaud;
        writer.SetBaud(state.startBaud);
    }
}

bool EcuSimulator::Impl::HearsTester(int ecuBaud) const {
    const int tester = TesterLineBaud(port.MasterFd());
    return !state.strict || tester < 0 || tester == ecuBaud;
}

void EcuSimulator::Impl::HandleChunk(const std::uint8_t* bytes, long n,
                                     std::vector<std::uint8_t>& echo) {
    bool withEcho = true;
    bool heard = true;
    {
        std::lock_guard<std::mutex> lock(mutex);
        withEcho = !faults.noEcho;
        heard = HearsTester(state.lineBaud);
        if (!heard) {
            misheardBytes += n;
        }
    }
    for (long i = 0; i < n; ++i) {
        // The adapter echoes at the tester's own speed; the ECU reads at its speed.
        echo.push_back(bytes[i]);
        std::optional<EcuRequest> request = collector.Feed(heard ? bytes[i] : Misheard(bytes[i]));
        if (request) {
            Echo(echo, withEcho);
            Serve(*request);
        }
    }
    Echo(echo, withEcho);
}

void EcuSimulator::Impl::Echo(std::vector<std::uint8_t>& echo, bool withEcho) {
    if (withEcho) {
        writer.Write(echo);
    } else {
        writer.Occupy(echo.size());  // the request still takes its time on the line
    }
    echo.clear();
}

void EcuSimulator::Impl::Serve(const EcuRequest& request) {
    EcuAnswer answer;
    FaultPlan plan;
    int answerBaud = 0;
    {
        std::lock_guard<std::mutex> lock(mutex);
        lastRequest = Clock::now();
        ++requests;
        ++requestsSinceFaults;
        if (log.size() >= kRequestLogLimit) {
            log.erase(log.begin(), log.begin() + static_cast<long>(kRequestLogLimit / 2));
        }
        log.push_back(request.frame);
        ++requestsTotal;
        plan = PlanFaults(faults, request.service, requestsSinceFaults);
        answerBaud = state.lineBaud;
        if (plan.refuse) {
            answer.frame = BuildNegativeAnswer(request.service, faults.negativeCode);
        } else if (!plan.silent) {
            answer = AnswerRequest(request, state, [this] { return EngineNow(); });
            if (answer.baudAfter) {
                state.lineBaud = *answer.baudAfter;
            }
        }
    }
    requestArrived.notify_all();
    if (!plan.silent && !plan.drop && !answer.frame.empty()) {
        SendAnswer(std::move(answer.frame), plan, answerBaud);
    }
    if (answer.baudAfter) {
        writer.SetBaud(*answer.baudAfter);  // the new speed starts after the answer
    }
}

void EcuSimulator::Impl::SendAnswer(std::vector<std::uint8_t> frame, const FaultPlan& plan,
                                    int baud) {
    ApplyFrameFaults(frame, plan);
    // The answer delay counts from the end of the request on the line, not from a wake-up.
    const auto start = writer.LineFree() + std::chrono::milliseconds(answerDelayMs.load());
    if (!stop.SleepUntil(start)) {
        return;
    }
    {
        // A tester that listens at another speed hears garbage.
        std::lock_guard<std::mutex> lock(mutex);
        if (!HearsTester(baud)) {
            for (auto& b : frame) {
                b = Misheard(b);
            }
        }
    }
    if (plan.split && frame.size() > 1) {
        const std::size_t half = frame.size() / 2;
        writer.WriteAt({frame.begin(), frame.begin() + static_cast<long>(half)}, start);
        const auto rest = writer.LineFree() + std::chrono::milliseconds(plan.splitGapMs);
        stop.SleepUntil(rest);
        writer.WriteAt({frame.begin() + static_cast<long>(half), frame.end()}, rest);
    } else {
        writer.WriteAt(frame, start);
    }
    std::lock_guard<std::mutex> lock(mutex);
    ++answers;
}

EcuSimulator::EcuSimulator(EcuSimOptions options)
    : impl_(std::make_unique<Impl>(std::move(options))) {}

EcuSimulator::~EcuSimulator() {
    Stop();
}

bool EcuSimulator::Start(std::string* error) {
    if (impl_->started) {
        return true;
    }
    if (!impl_->port.Open(error)) {
        return false;
    }
    if (pipe(impl_->wakePipe) != 0) {
        if (error != nullptr) {
            *error = "pipe failed";
        }
        impl_->port.Close();
        return false;
    }
    impl_->stop.Reset();
    impl_->started = true;
    impl_->thread = std::thread([this] { impl_->Run(); });
    return true;
}

void EcuSimulator::Stop() {
    if (!impl_->started) {
        return;
    }
    impl_->stop.Stop();
    const char byte = 1;
    [[maybe_unused]] const auto ignored = write(impl_->wakePipe[1], &byte, 1);
    impl_->thread.join();
    close(impl_->wakePipe[0]);
    close(impl_->wakePipe[1]);
    impl_->port.Close();
    impl_->started = false;
}

std::string EcuSimulator::DevicePath() const {
    return impl_->port.SlavePath();
}

}  // namespace veltrano
