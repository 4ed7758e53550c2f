// A link on a fake line with a scripted ECU, no real sleeping, recorded warnings and
// progress reports.
#pragma once

#include <atomic>
#include <memory>
#include <mutex>
#include <utility>
#include <vector>

#include "common/messages.h"
#include "link/obdii.h"
#include "tests/link/fake_line.h"

namespace veltrano::test {

// Answers as an ECU behind an echoing adapter would, built byte by byte here.
inline std::vector<Reply> EcuAnswer(const Bytes& f) {
    const bool long_form = f[0] == 0x80;
    const std::uint8_t sid = long_form ? f[4] : f[3];
    auto one = [](Bytes b) { return std::vector<Reply>{{WithSum(std::move(b))}}; };
    switch (sid) {
        case 0x81:
            return one({0x83, 0xF1, 0x10, 0xC1, 0xEF, 0x8F});
        case 0x82:
            return one({0x81, 0xF1, 0x10, 0xC2});
        case 0x10:
            return one({0x82, 0xF1, 0x10, 0x50, f[4]});
        case 0x20:
            return one({0x81, 0xF1, 0x10, 0x60});
        case 0x3E:
            return one({0x81, 0xF1, 0x10, 0x7E});
        case 0x14:
            return one({0x83, 0xF1, 0x10, 0x54, 0xFF, 0x00});
        case 0x18:
            return one({0x85, 0xF1, 0x10, 0x58, 0x01, 0x01, 0x30, 0xE0});
        case 0x30:
            if (f[4] == 0x0F)
                return one({0x84, 0xF1, 0x10, 0x70, 0x0F, 0x06, 0x01});
            return one({0x83, 0xF1, 0x10, 0x70, f[4], f[5]});
        case 0x3D:
            return one({0x80, 0xF1, 0x10, 0x03, 0x7D, f[6], f[7]});
        case 0x21: {
            const std::size_t payload = f[4] == 0x0F ? 52 : 37;
            Bytes b = {0x80, 0xF1, 0x10, static_cast<std::uint8_t>(payload + 1), 0x61, f[4]};
            b.resize(5 + payload, 0x00);
            b[5 + (f[4] == 0x0F ? 13 : 12)] = 75;  // engine speed 3000 rpm
            return one(b);
        }
        default:
            return {};
    }
}

struct LinkRig {
    std::shared_ptr<FakeLineState> line = std::make_shared<FakeLineState>();
    RecordedMessages messages;
    std::mutex progress_mutex;
    std::vector<std::pair<int, int>> progress;
    std::atomic<long> slept_ms{0};
    std::unique_ptr<TOBDII> link;

    explicit LinkRig(bool answering = true, int baud = 10400) {
        if (answering)
            line->answer = EcuAnswer;
        Make(baud);
    }

    void Make(int baud, int baud2 = 10400) {
        LinkHooks hooks;
        hooks.messages = &messages;
        hooks.progress = [this](int intake, int max) {
            std::lock_guard<std::mutex> lock(progress_mutex);
            progress.emplace_back(intake, max);
        };
        hooks.line = std::make_unique<FakeLine>(line);
        hooks.sleep = [this](int ms) { slept_ms += ms; };
        link =
            std::make_unique<TOBDII>("COM1", baud, baud2, 100, false, false, 30, std::move(hooks));
    }

    // Frames written since the last call.
    std::vector<Bytes> NewWrites() {
        auto all = line->Writes();
        std::vector<Bytes> fresh(all.begin() + static_cast<long>(seen_), all.end());
        seen_ = all.size();
        return fresh;
    }

  private:
    std::size_t seen_ = 0;
};

}  // namespace veltrano::test
