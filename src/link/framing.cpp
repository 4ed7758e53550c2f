#include "link/framing.h"

#include <algorithm>

namespace veltrano {

std::uint8_t CalcCRC(std::span<const std::uint8_t> bytes) {
    unsigned sum = 0;
    for (std::uint8_t b : bytes)
        sum += b;
    return static_cast<std::uint8_t>(sum & 0xFF);
}

bool CheckCRC(std::span<const std::uint8_t> answer) {
    if (answer.empty())
        return false;
    return answer.back() == CalcCRC(answer.first(answer.size() - 1));
}

std::vector<std::uint8_t> BuildRequest(std::uint8_t target, std::uint8_t source,
                                       std::uint8_t service, std::span<const std::uint8_t> data,
                                       std::uint8_t LengthByte) {
    std::vector<std::uint8_t> frame;
    frame.reserve(data.size() + 6);
    if (LengthByte == 0) {
        frame = {static_cast<std::uint8_t>(0x80 + 1 + data.size()), target, source, service};
    } else {
        frame = {0x80, target, source, LengthByte, service};
    }
    frame.insert(frame.end(), data.begin(), data.end());
    frame.push_back(CalcCRC(frame));
    return frame;
}

int ExpectedCount(std::uint8_t service, std::span<const std::uint8_t> data, std::uint8_t LengthByte,
                  int previous) {
    if (LengthByte != 0)
        return 14 + static_cast<int>(data.size());
    const int d0 = data.size() > 0 ? data[0] : -1;
    const int d1 = data.size() > 1 ? data[1] : -1;
    switch (service) {
        case 0x81:
            return 12;
        case 0x82:
            return 10;
        case 0x3E:
            return 11;
        case 0x20:
            return 10;
        case 0x10:
            if (d0 == 0x81 && (d1 == 0x26 || d1 == 0x39 || d1 == 0x0A))
                return 13;
            return previous;
        case 0x21:
            if (d0 == 0x01)
                return 49;
            if (d0 == 0x0F)
                return 64;
            return previous;
        case 0x30:
            // Release and capture of the RAM window (71 xx): echo 7, answer 70 71 xx.
            if (d0 == 0x71)
                return 14;
            return d0 == 0x0F ? 16 : previous;
        default:
            return previous;
    }
}

std::size_t DeleteEcho(std::span<const std::uint8_t> frame, std::span<const std::uint8_t> received,
                       std::span<std::uint8_t> answer) {
    // A partial echo never matches, not even when the frame ends in zero bytes.
    const bool echoed =
        received.size() >= frame.size() && std::equal(frame.begin(), frame.end(), received.begin());
    std::span<const std::uint8_t> rest = echoed ? received.subspan(frame.size()) : received;
    const std::size_t n = std::min(rest.size(), answer.size());
    std::copy_n(rest.begin(), n, answer.begin());
    return n;
}

AnswerParts SplitAnswer(std::span<const std::uint8_t> answer) {
    AnswerParts parts;
    parts.long_form = !answer.empty() && answer[0] == 0x80;
    const std::size_t at = parts.long_form ? 4 : 3;
    parts.service = at < answer.size() ? answer[at] : 0;
    const std::size_t begin = at + 1;
    const std::size_t end = answer.empty() ? 0 : answer.size() - 1;  // the checksum
    if (end > begin)
        parts.payload = answer.subspan(begin, end - begin);
    return parts;
}

}  // namespace veltrano
