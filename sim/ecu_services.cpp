#include "sim/ecu_services.h"

#include <algorithm>

#include "sim/live_blocks.h"

namespace veltrano {
namespace {

using Bytes = std::vector<std::uint8_t>;

EcuAnswer Positive(std::uint8_t service, const Bytes& data = {}, bool longForm = false) {
    return {BuildAnswer(static_cast<std::uint8_t>(service + 0x40), data, longForm), {}};
}

EcuAnswer Negative(std::uint8_t service, std::uint8_t code) {
    return {BuildNegativeAnswer(service, code), {}};
}

EcuAnswer StartSession(const EcuRequest& r, EcuState& s) {
    if (r.data.empty() || r.data[0] != 0x81) {
        return Negative(r.service, kFormatInvalid);
    }
    s.diagnosticSession = true;
    EcuAnswer answer = Positive(r.service, {0x81});
    if (r.data.size() > 1) {
        answer.baudAfter = BaudForSpeedCode(r.data[1]);
    }
    return answer;
}

EcuAnswer LiveData(const EcuRequest& r, EcuState& s, const std::function<EngineState()>& engine) {
    if (r.data.empty() || (r.data[0] != 0x01 && r.data[0] != 0x0F)) {
        return Negative(r.service, kOutOfRange);
    }
    const EngineState state = engine();
    const Bytes block = r.data[0] == 0x01 ? LiveBlock01(state) : LiveBlock0F(state, s.config);
    return Positive(r.service, block, true);
}

EcuAnswer ReadCodes(const EcuRequest& r, const EcuState& s) {
    Bytes data{static_cast<std::uint8_t>(std::min<std::size_t>(s.troubleCodes.size(), 255))};
    for (std::size_t i = 0; i < s.troubleCodes.size() && i < 255; ++i) {
        data.push_back(static_cast<std::uint8_t>(s.troubleCodes[i] >> 8));
        data.push_back(static_cast<std::uint8_t>(s.troubleCodes[i] & 0xFF));
        data.push_back(0xE0);  // status: stored, warning lamp requested
    }
    return Positive(r.service, data);
}

EcuAnswer InputOutputControl(const EcuRequest& r, EcuState& s) {
    if (r.data.size() == 3 && r.data[0] == 0x0F && r.data[1] == 0x06 && r.data[2] == 0x01) {
        s.oltMode = true;
        return Positive(r.service, r.data);
    }
    if (r.data.size() == 2 && r.data[0] == 0x71) {
        s.ramCode = r.data[1];  // 0 releases the window
        return Positive(r.service, r.data);
    }
    return Negative(r.service, kOutOfRange);
}

EcuAnswer WriteMemory(const EcuRequest& r, EcuState& s) {
    const Bytes& d = r.data;
    if (d.size() < 4 || d[3] == 0 || d.size() != 4u + d[3]) {
        return Negative(r.service, kFormatInvalid);
    }
    const unsigned address = d[1] * 256u + d[2];
    if (address + d[3] > s.memory.size()) {
        return Negative(r.service, kOutOfRange);
    }
    std::copy(d.begin() + 4, d.end(), s.memory.begin() + address);
    if (s.bareWriteAnswer) {
        return Positive(r.service);
    }
    return Positive(r.service, {d[0], d[1], d[2]});
}

// Services a strict ECU serves only inside the diagnostic session.
bool NeedsSession(std::uint8_t service) {
    switch (service) {
        case 0x14:
        case 0x18:
        case 0x21:
        case 0x30:
        case 0x3D:
            return true;
        default:
            return false;
    }
}

}  // namespace

std::optional<int> BaudForSpeedCode(std::uint8_t code) {
    switch (code) {
        case 0x0A:
            return 10400;
        case 0x26:
            return 38400;
        case 0x39:
            return 57600;
        default:
            return std::nullopt;
    }
}

EcuAnswer AnswerRequest(const EcuRequest& r, EcuState& s,
                        const std::function<EngineState()>& engine) {
    if (s.strict && !s.communicating && r.service != 0x81) {
        return {};
    }
    if (s.strict && !s.diagnosticSession && NeedsSession(r.service)) {
        return Negative(r.service, kNotInActiveSession);
    }
    switch (r.service) {
        case 0x81:
            s.communicating = true;
            s.diagnosticSession = false;
            return Positive(r.service, {0xEF, 0x8F});  // key bytes: normal timing
        case 0x82:
            s.communicating = false;
            s.diagnosticSession = false;
            return Positive(r.service);
        case 0x10:
            return StartSession(r, s);
        case 0x20: {
            s.diagnosticSession = false;
            EcuAnswer answer = Positive(r.service);
            answer.baudAfter = s.startBaud;
            return answer;
        }
        case 0x3E:
            return Positive(r.service);
        case 0x21:
            return LiveData(r, s, engine);
        case 0x14:
            s.troubleCodes.clear();
            return Positive(r.service, r.data);
        case 0x18:
            return ReadCodes(r, s);
        case 0x30:
            return InputOutputControl(r, s);
        case 0x3D:
            return WriteMemory(r, s);
        default:
            return Negative(r.service, kServiceNotSupported);
    }
}

}  // namespace veltrano
