// The ECU's answers to the diagnostic services the tool uses, and the state they change.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "sim/ecu_config.h"
#include "sim/ecu_frame.h"
#include "sim/engine_model.h"

namespace veltrano {

struct EcuState {
    std::vector<std::uint8_t> memory;      // 64 KiB
    std::vector<std::uint8_t> calibrated;  // the image as loaded, never written
    EcuConfig config;
    int startBaud = 10400;
    int lineBaud = 10400;
    bool communicating = false;
    bool diagnosticSession = false;
    bool oltMode = false;
    std::uint8_t ramCode = 0;
    std::vector<std::uint16_t> troubleCodes;
    bool bareWriteAnswer = false;  // confirm memory writes with 7D alone, no address
    // Silent before start communication, refuses session services outside the diagnostic
    // session; false answers everything at any time.
    bool strict = true;
};

struct EcuAnswer {
    std::vector<std::uint8_t> frame;  // empty: no answer
    std::optional<int> baudAfter;     // line speed once the answer is out
};

// Negative response codes.
inline constexpr std::uint8_t kServiceNotSupported = 0x11;
inline constexpr std::uint8_t kFormatInvalid = 0x12;
inline constexpr std::uint8_t kOutOfRange = 0x31;
inline constexpr std::uint8_t kNotInActiveSession = 0x80;

// Answers one request; `engine` gives the engine's state for live data. A strict ECU gives no
// answer (an empty frame) before communication is started.
EcuAnswer AnswerRequest(const EcuRequest& request, EcuState& state,
                        const std::function<EngineState()>& engine);

// Speed for a diagnostic-session speed code; nullopt keeps the current speed.
std::optional<int> BaudForSpeedCode(std::uint8_t code);

}  // namespace veltrano
