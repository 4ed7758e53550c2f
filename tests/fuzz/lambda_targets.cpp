// The wideband reader fed arbitrary bytes: the LC-1 packet stream and the AEM gauge lines,
// through the reader thread and an in-memory port, plus the pure frame decoders.
#include <unistd.h>
#include <atomic>
#include <cmath>
#include <ctime>
#include <deque>
#include <filesystem>
#include <mutex>
#include <thread>

#include "fuzz_input.h"
#include "fuzz_targets.h"
#include "lambda/aem_frame.h"
#include "lambda/lc1_decode.h"
#include "lambda/lc_threat.h"

namespace veltrano::fuzz {
namespace {

struct StreamState {
    std::mutex mutex;
    std::deque<std::uint8_t> pending;  // not arrived yet
    std::deque<std::uint8_t> rx;       // arrived, waiting to be read
    std::size_t chunk = 1;             // bytes that arrive per receive poll
    int idle_polls = 0;                // polls since the last byte arrived
};

// Bytes arrive `chunk` at a time, one chunk per receive poll.
class StreamLine final : public SerialLine {
  public:
    explicit StreamLine(std::shared_ptr<StreamState> s) : s_(std::move(s)) {}
    bool Open(const std::string&) override { return true; }
    bool SetLine(int) override { return true; }
    void Purge() override {
        std::lock_guard lock(s_->mutex);
        s_->rx.clear();
    }
    long Write(const std::uint8_t*, std::size_t n) override { return static_cast<long>(n); }
    long Waiting() override {
        std::lock_guard lock(s_->mutex);
        if (s_->pending.empty())
            ++s_->idle_polls;
        for (std::size_t k = 0; k < s_->chunk && !s_->pending.empty(); ++k) {
            s_->rx.push_back(s_->pending.front());
            s_->pending.pop_front();
        }
        return static_cast<long>(s_->rx.size());
    }
    long Read(std::uint8_t* buf, std::size_t n) override {
        std::lock_guard lock(s_->mutex);
        std::size_t k = 0;
        for (; k < n && !s_->rx.empty(); ++k) {
            buf[k] = s_->rx.front();
            s_->rx.pop_front();
        }
        return static_cast<long>(k);
    }
    void Close() override {}
    bool IsOpen() const override { return true; }

  private:
    std::shared_ptr<StreamState> s_;
};

// All bytes arrived and the reader has had its chance at them.
bool Drained(StreamState& s) {
    std::lock_guard lock(s.mutex);
    return s.pending.empty() && (s.rx.empty() || s.idle_polls > 50);
}

// A folder of this process for "LogAEM.txt", made for each input and removed after it.
std::filesystem::path LogDirectory() {
    const auto dir =
        std::filesystem::temp_directory_path() / ("veltrano-fuzz-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    return dir;
}

// Byte 0: bytes per receive poll (1..16); the rest: the stream.
LambdaReading RunReader(Bytes data, const char* sensor) {
    FuzzInput in(data);
    auto state = std::make_shared<StreamState>();
    state->chunk = 1 + in.Byte() % 16;
    const auto stream = in.Rest();
    state->pending.assign(stream.begin(), stream.end());
    LcOptions options;
    options.logDirectory = LogDirectory();
    options.makeLine = [state] { return std::make_unique<StreamLine>(state); };
    auto reader = TLcThreat::Create("COM2", sensor, options);
    Check(reader->Running(), "reader runs");
    while (!Drained(*state))
        std::this_thread::yield();
    reader->stop();
    Check(!reader->Running(), "reader stopped");
    std::error_code ec;
    std::filesystem::remove_all(options.logDirectory, ec);
    return reader->Reading();
}

void CheckReading(const LambdaReading& r) {
    Check(std::isfinite(r.AFR), "finite AFR");
    Check(std::isfinite(r.stochiometric), "finite multiplier");
}

}  // namespace

int Lc1Stream(Bytes data) {
    CheckReading(RunReader(data, "LC-1/2"));
    // Every four-byte window once more, straight through the decoder.
    LambdaReading r;
    for (std::size_t i = 0; i + 4 <= data.size(); i += 4) {
        DecodeLC1Data(std::span<const std::uint8_t, 4>(data.data() + i, 4), r, ',');
        Check(r.Message_LC1.size() < 64, "short message");
    }
    CheckReading(r);
    return 0;
}

int AemLines(Bytes data) {
    CheckReading(RunReader(data, "AEM"));
    LambdaReading r;
    for (std::size_t i = 0; i + 4 <= data.size(); i += 4) {
        const std::span<const std::uint8_t, 4> chars(data.data() + i, 4);
        ApplyAemText(chars, r, i % 8 ? '.' : ',');
        Check(r.lc == (r.AFR >= 10.0 && r.AFR <= 20.0), "lc follows the range");
        Check(AemLogLine(std::tm{}, chars).size() < 48, "log line fits");
    }
    CheckReading(r);
    return 0;
}

}  // namespace veltrano::fuzz
