#include "sim/lambda_simulator.h"

#include <atomic>
#include <chrono>
#include <mutex>
#include <random>
#include <thread>

#include "sim/lambda_frames.h"
#include "sim/paced_writer.h"
#include "sim/pty_port.h"

namespace veltrano {
namespace {

constexpr auto kLc1Period = std::chrono::microseconds(81920);
constexpr auto kAemPeriod = std::chrono::milliseconds(100);
constexpr int kWarmupFunction = 4;
constexpr int kErrorFunction = 6;

}  // namespace

struct LambdaSimulator::Impl {
    explicit Impl(LambdaSimOptions o)
        : options(std::move(o)), writer(port, stop), random(options.seed) {
        writer.SetBaud(options.kind == LambdaKind::Lc1 ? 19200 : 9600);
        writer.SetPacing(options.wireTiming);
        writer.SetPatience(0);  // a stream nobody reads is simply lost
    }

    void Run();
    std::vector<std::uint8_t> NextFrame(const LambdaFaults& f, long number);
    std::vector<std::uint8_t> Garbage();
    double Afr();

    LambdaSimOptions options;
    PtyPort port;
    StopSignal stop;
    PacedWriter writer;
    std::mt19937 random;  // thread only
    mutable std::mutex mutex;
    LambdaFaults faults;
    std::optional<double> fixedAfr;
    std::atomic<long> frames{0};
    std::thread thread;
    bool started = false;
};

double LambdaSimulator::Impl::Afr() {
    {
        std::lock_guard<std::mutex> lock(mutex);
        if (fixedAfr) {
            return *fixedAfr;
        }
    }
    return options.afrSource ? options.afrSource() : 14.7;
}

std::vector<std::uint8_t> LambdaSimulator::Impl::Garbage() {
    std::uniform_int_distribution<int> count(1, 5);
    std::uniform_int_distribution<int> byte(0, 255);
    std::vector<std::uint8_t> junk(static_cast<std::size_t>(count(random)));
    for (auto& b : junk) {
        do {
            b = static_cast<std::uint8_t>(byte(random));
        } while (b == 0xB2 || b == 0x0D);  // never a frame start
    }
    return junk;
}

std::vector<std::uint8_t> LambdaSimulator::Impl::NextFrame(const LambdaFaults& f, long number) {
    const int period = f.period > 1 ? f.period : 1;
    const bool hit = number % period == 0;
    std::vector<std::uint8_t> frame;
    if (options.kind == LambdaKind::Lc1) {
        if (hit && f.errorPackets) {
            frame = Lc1Packet(kErrorFunction, options.multiplier, f.errorCode);
        } else if (hit && f.warmupPackets) {
            frame = Lc1Packet(kWarmupFunction, options.multiplier, 0);
        } else {
            frame = Lc1Packet(0, options.multiplier, Lc1ValueForAfr(Afr()));
        }
    } else {
        const std::string line = AemLine(Afr());
        frame.assign(line.begin(), line.end());
    }
    if (hit && f.truncated) {
        frame.resize(frame.size() - 2);  // LC-1 loses its value word's end, AEM its last digit
        if (options.kind == LambdaKind::Aem) {
            frame.back() = '\r';
            frame.push_back('\n');
        }
    }
    if (hit && f.garbage) {
        const std::vector<std::uint8_t> junk = Garbage();
        frame.insert(frame.end(), junk.begin(), junk.end());
    }
    return frame;
}

void LambdaSimulator::Impl::Run() {
    const auto period = options.kind == LambdaKind::Lc1
                            ? std::chrono::duration_cast<std::chrono::microseconds>(kLc1Period)
                            : std::chrono::duration_cast<std::chrono::microseconds>(kAemPeriod);
    auto next = StopSignal::Clock::now();
    long number = 0;
    while (!stop.Stopped()) {
        LambdaFaults f;
        {
            std::lock_guard<std::mutex> lock(mutex);
            f = faults;
        }
        if (!f.silence) {
            writer.Write(NextFrame(f, ++number));
            ++frames;
        }
        next += period;
        if (next < StopSignal::Clock::now()) {
            next = StopSignal::Clock::now();  // fell behind: keep the rate, skip the backlog
        }
        if (!stop.SleepUntil(next)) {
            break;
        }
    }
}

LambdaSimulator::LambdaSimulator(LambdaSimOptions options)
    : impl_(std::make_unique<Impl>(std::move(options))) {}

LambdaSimulator::~LambdaSimulator() {
    Stop();
}

bool LambdaSimulator::Start(std::string* error) {
    if (impl_->started) {
        return true;
    }
    if (!impl_->port.Open(error)) {
        return false;
    }
    impl_->stop.Reset();
    impl_->started = true;
    impl_->thread = std::thread([this] { impl_->Run(); });
    return true;
}

void LambdaSimulator::Stop() {
    if (!impl_->started) {
        return;
    }
    impl_->stop.Stop();
    impl_->thread.join();
    impl_->port.Close();
    impl_->started = false;
}

std::string LambdaSimulator::DevicePath() const {
    return impl_->port.SlavePath();
}

void LambdaSimulator::SetFaults(const LambdaFaults& faults) {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    impl_->faults = faults;
}

void LambdaSimulator::SetFixedAfr(std::optional<double> afr) {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    impl_->fixedAfr = afr;
}

long LambdaSimulator::FramesSent() const {
    return impl_->frames.load();
}

}  // namespace veltrano
