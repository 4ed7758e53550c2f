// KWP2000 request frames over K-line, echo removal and answer splitting.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace veltrano {

inline constexpr std::uint8_t kEcuAddress = 0x10;
inline constexpr std::uint8_t kTesterAddress = 0xF1;

// 8-bit sum of the bytes.
std::uint8_t CalcCRC(std::span<const std::uint8_t> bytes);
// True when the last byte is the 8-bit sum of the others; an empty answer fails.
bool CheckCRC(std::span<const std::uint8_t> answer);

// Short header when LengthByte is 0 (format 0x80 + 1 + n), else the long header with
// LengthByte as given; the checksum closes the frame.
std::vector<std::uint8_t> BuildRequest(std::uint8_t target, std::uint8_t source,
                                       std::uint8_t service, std::span<const std::uint8_t> data,
                                       std::uint8_t LengthByte);

// Bytes expected in the receive queue, echo included; `previous` for requests without an
// entry of their own.
int ExpectedCount(std::uint8_t service, std::span<const std::uint8_t> data, std::uint8_t LengthByte,
                  int previous);

// Removes the echo of `frame` from the `received` bytes. When the whole frame leads the
// received bytes, the answer is what follows; otherwise everything received is the answer.
// Copies the answer to the front of `answer` and returns its length.
std::size_t DeleteEcho(std::span<const std::uint8_t> frame, std::span<const std::uint8_t> received,
                       std::span<std::uint8_t> answer);

// An answer's service byte and payload. Long form (byte 0 is 0x80): service at offset 4,
// payload from 5; short form: service at 3, payload from 4; the payload ends before the
// checksum. Offsets past the answer read as 0, as in a zero-filled receive buffer.
struct AnswerParts {
    bool long_form = false;
    std::uint8_t service = 0;
    std::span<const std::uint8_t> payload;
};
AnswerParts SplitAnswer(std::span<const std::uint8_t> answer);

}  // namespace veltrano
