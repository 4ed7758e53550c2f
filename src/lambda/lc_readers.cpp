// The two frame readers of the lambda thread. Every wait sleeps until bytes arrive (a line
// that cannot wait is polled once per 1 ms), rests for the wire time of a frame's missing
// bytes instead of waking per byte, and ends on the exit request, LcRunning and destruction;
// a read is issued only for bytes that are waiting.
#include <array>
#include <chrono>
#include <ctime>

#include "common/local_time.h"
#include "lambda/aem_frame.h"
#include "lambda/aem_log.h"
#include "lambda/lc1_decode.h"
#include "lambda/lc_threat.h"
#include "link/line_wait.h"

namespace veltrano {
namespace {

constexpr std::uint8_t kLc1Header0 = 0xB2;
constexpr std::uint8_t kLc1Header1 = 0x82;
constexpr std::uint8_t kCr = 0x0D;
constexpr std::uint8_t kLf = 0x0A;
constexpr int kHeaderMs = 1000;
constexpr int kBodyMs = 2000;
// Longest sleep between looks at the exit conditions. A stop or destruction interrupts the
// wait at once; an exit request alone is seen with the next byte or after this long.
constexpr int kExitCheckMs = 250;
// Bytes that follow a frame's first byte before the reader looks again: LC-1's second header
// byte and four data bytes; AEM's line feed, four characters and carriage return.
constexpr long kLc1FrameRest = 5;
constexpr long kAemFrameRest = 6;

void SleepOnePoll() {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

// A frame's first byte that had to be waited for (the next frame's header ends a body, too) is
// followed by the frame's other bytes at wire pace: one rest for them lets the next reads, or
// the purge after a frame, find them all instead of waking per byte.
void RestForFrame(const LineWait& w, long wanted, long frame_rest, int baud) {
    if (w.waiting == wanted && w.usedMs >= 0.5)
        SteadyWaitClock().restMs(WireMs(frame_rest, baud));
}

}  // namespace

// Waits until more than `more_than` bytes are queued, at most `budget_ms`. On an exit request
// the queues are discarded. True when the bytes are there.
bool TLcThreat::WaitLC1(long more_than, int budget_ms) {
    const LineWait w = WaitOnLine(
        *hCOMPort, {budget_ms + 1, kExitCheckMs, true, more_than + 1, kLc1Baud}, SteadyWaitClock(),
        [&](long n) { return n > more_than || ExitReadPort || Ending(); });
    if (ExitReadPort) {
        hCOMPort->Purge();
        return false;
    }
    if (Ending() || w.waiting <= more_than)
        return false;
    RestForFrame(w, more_than + 1, kLc1FrameRest, kLc1Baud);
    return true;
}

// Waits without bound until at least `at_least` bytes are queued; ends like WaitLC1.
bool TLcThreat::WaitAEM(long at_least) {
    for (;;) {
        const LineWait w = WaitOnLine(
            *hCOMPort, {kHeaderMs, kExitCheckMs, true, at_least, kAemBaud}, SteadyWaitClock(),
            [&](long n) { return n >= at_least || ExitReadPort || Ending(); });
        if (Ending())
            return false;
        if (ExitReadPort) {
            SleepOnePoll();
            hCOMPort->Purge();
            return false;
        }
        if (w.waiting >= at_least) {
            if (at_least == 1)
                RestForFrame(w, 1, kAemFrameRest, kAemBaud);
            return true;
        }
    }
}

bool TLcThreat::ReadExactly(std::uint8_t* buf, long n) {
    return hCOMPort->Read(buf, static_cast<std::size_t>(n)) == n;
}

void TLcThreat::ReadLC1Packet() {
    std::uint8_t byte = 0;
    if (!WaitLC1(0, kHeaderMs) || !ReadExactly(&byte, 1) || byte != kLc1Header0)
        return;
    if (!WaitLC1(0, kHeaderMs) || !ReadExactly(&byte, 1) || byte != kLc1Header1)
        return;
    std::array<std::uint8_t, 5> body{};
    if (!WaitLC1(4, kBodyMs) || !ReadExactly(body.data(), 5) || body[4] != kLc1Header0) {
        return;
    }
    LambdaReading r = Reading();
    if (DecodeLC1Data(std::span<const std::uint8_t, 4>(body.data(), 4), r))
        Publish(r);
    hCOMPort->Purge();
    ++framesRead_;
}

void TLcThreat::ReadAEMLine() {
    std::uint8_t byte = 0;
    if (!WaitAEM(1) || !ReadExactly(&byte, 1) || byte != kCr)
        return;
    if (!WaitAEM(1) || !ReadExactly(&byte, 1) || byte != kLf)
        return;
    std::array<std::uint8_t, 5> body{};
    if (!WaitAEM(5) || !ReadExactly(body.data(), 5) || body[4] != kCr)
        return;
    const std::span<const std::uint8_t, 4> chars(body.data(), 4);
    LogAemFrame(body.data());
    LambdaReading r = Reading();
    ApplyAemText(chars, r);
    Publish(r);
    hCOMPort->Purge();
    ++framesRead_;
}

// A log line that cannot be written is skipped; the reading is still taken.
void TLcThreat::LogAemFrame(const std::uint8_t* chars) {
    const std::time_t now = std::time(nullptr);
    const std::tm local = LocalTime(now);
    const std::string line = AemLogLine(local, std::span<const std::uint8_t, 4>(chars, 4));
    if (!AppendAemLog(options_.logDirectory, line))
        ++aemLogFailures_;
}

}  // namespace veltrano
