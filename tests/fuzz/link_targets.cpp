// The link fed arbitrary answers: the whole exchange (echo, receive polls, dispatcher), the
// dispatcher alone, both live data blocks and the trouble-code answer.
#include <cmath>
#include <deque>
#include <memory>
#include <mutex>
#include <vector>

#include "fuzz_input.h"
#include "fuzz_targets.h"
#include "link/live_decoder.h"
#include "link/obdii.h"
#include "link/trouble_codes.h"

namespace veltrano::fuzz {
namespace {

// Echoes every written frame (when asked to), then, after the first frame only, the answer.
class AnswerLine final : public SerialLine {
  public:
    AnswerLine(std::vector<std::uint8_t> answer, bool echo)
        : answer_(std::move(answer)), echo_(echo) {}
    bool Open(const std::string&) override { return true; }
    // Refused, so the link starts no thread: the target drives the exchange itself.
    bool SetLine(int) override { return false; }
    void Purge() override { rx_.clear(); }
    long Write(const std::uint8_t* data, std::size_t n) override {
        if (echo_)
            rx_.insert(rx_.end(), data, data + n);
        rx_.insert(rx_.end(), answer_.begin(), answer_.end());
        answer_.clear();
        return static_cast<long>(n);
    }
    long Waiting() override { return static_cast<long>(rx_.size()); }
    long Read(std::uint8_t* buf, std::size_t n) override {
        std::size_t k = 0;
        for (; k < n && !rx_.empty(); ++k) {
            buf[k] = rx_.front();
            rx_.pop_front();
        }
        return static_cast<long>(k);
    }
    void Close() override {}
    bool IsOpen() const override { return true; }

  private:
    std::vector<std::uint8_t> answer_;
    std::deque<std::uint8_t> rx_;
    bool echo_;
};

void Request(TOBDII& link, int which) {
    switch (which % 9) {
        case 0:
            link.ReadLiveData();
            break;
        case 1:
            link.ReadLiveDataOLT();
            break;
        case 2:
            link.ReadErrors();
            break;
        case 3:
            link.ClearErrors();
            break;
        case 4:
            link.StartCommunication();
            break;
        case 5:
            link.StartDiagnosticSession();
            break;
        case 6:
            link.TesterPresent();
            break;
        case 7:
            link.SwitchToRam();
            break;
        default:
            link.StopCommunication();
            break;
    }
}

}  // namespace

// Byte 0: the request (and whether the answer goes straight to the dispatcher), byte 1:
// echo on or off; the rest is what the ECU sends.
int LinkAnswer(Bytes data) {
    FuzzInput in(data);
    const std::uint8_t request = in.Byte();
    const bool echo = (in.Byte() & 1) != 0;
    const auto answer = in.Rest();
    LinkHooks hooks;
    hooks.line =
        std::make_unique<AnswerLine>(std::vector<std::uint8_t>(answer.begin(), answer.end()), echo);
    hooks.sleep = [](int) {};
    TOBDII link("COM1", 10400, 10400, 0, false, false, 0, std::move(hooks));
    link.FdadNaklon = 20.0;
    link.FdadSMeshenie = 0.4;
    if (request & 0x80)
        link.ParseAnswer(answer);
    else
        Request(link, request);
    Check(link.Live().sequence <= 1, "one record per answer");
    for (const auto& code : link.OBD_ERROR.Items())
        Check(code.size() == 5 && code[0] == 'P', "trouble code form");
    return 0;
}

// Bytes 0..15: the pressure sensor characteristic as two doubles; the rest: a payload
// decoded as it comes and once more as each block's identifier.
int LiveBlocks(Bytes data) {
    FuzzInput in(data);
    const double naklon = in.Raw<double>();
    const double smeshenie = in.Raw<double>();
    const auto payload = in.Rest();
    LiveRecord rec;
    DecodeLiveBlock(payload, naklon, smeshenie, rec);
    for (std::uint8_t id : {std::uint8_t{0x01}, std::uint8_t{0x0F}}) {
        std::vector<std::uint8_t> block(payload.begin(), payload.end());
        if (!block.empty())
            block[0] = id;
        LiveRecord r;
        DecodeLiveBlock(block, naklon, smeshenie, r);
    }
    RoundTwoDecimals(naklon);
    return 0;
}

int TroubleCodes(Bytes data) {
    const auto codes = ParseTroubleCodes(data);
    Check(codes.size() <= 9, "at most nine codes");
    for (const auto& code : codes)
        Check(code.size() == 5 && code[0] == 'P', "trouble code form");
    return 0;
}

}  // namespace veltrano::fuzz
