#include "sim/ecu_frame.h"

namespace veltrano {

std::uint8_t SumOfBytes(const std::uint8_t* data, std::size_t n) {
    unsigned sum = 0;
    for (std::size_t i = 0; i < n; ++i) {
        sum += data[i];
    }
    return static_cast<std::uint8_t>(sum & 0xFF);
}

std::vector<std::uint8_t> BuildAnswer(std::uint8_t service, const std::vector<std::uint8_t>& data,
                                      bool longForm) {
    const std::size_t length = data.size() + 1;
    std::vector<std::uint8_t> frame;
    if (longForm || length > 0x3F) {
        frame = {0x80, kTesterAddress, kEcuAddress, static_cast<std::uint8_t>(length)};
    } else {
        frame = {static_cast<std::uint8_t>(0x80 | length), kTesterAddress, kEcuAddress};
    }
    frame.push_back(service);
    frame.insert(frame.end(), data.begin(), data.end());
    frame.push_back(SumOfBytes(frame.data(), frame.size()));
    return frame;
}

std::vector<std::uint8_t> BuildNegativeAnswer(std::uint8_t service, std::uint8_t code) {
    return BuildAnswer(0x7F, {service, code});
}

std::size_t RequestCollector::ExpectedLength() const {
    const std::uint8_t format = buffer_[0];
    if ((format & 0x3F) != 0) {
        return 3 + (format & 0x3F) + 1;
    }
    if (buffer_.size() < 4) {
        return 0;  // long header: the length byte is still to come
    }
    return 4 + buffer_[3] + 1;
}

std::optional<EcuRequest> RequestCollector::Feed(std::uint8_t byte) {
    // A frame starts with a format byte carrying physical addressing (10xx xxxx).
    if (buffer_.empty() && (byte & 0xC0) != 0x80) {
        return std::nullopt;
    }
    buffer_.push_back(byte);
    const std::size_t expected = ExpectedLength();
    if (expected == 0 || buffer_.size() < expected) {
        return std::nullopt;
    }
    return Complete();
}

std::optional<EcuRequest> RequestCollector::Complete() {
    std::vector<std::uint8_t> frame;
    frame.swap(buffer_);
    const std::size_t n = frame.size();
    const bool longForm = (frame[0] & 0x3F) == 0;
    const std::size_t serviceAt = longForm ? 4 : 3;
    const bool sumOk = SumOfBytes(frame.data(), n - 1) == frame[n - 1];
    if (!sumOk || frame[1] != kEcuAddress || frame[2] != kTesterAddress || n < serviceAt + 2 ||
        (longForm && frame[3] == 0)) {
        ++rejected_;
        return std::nullopt;
    }
    EcuRequest request;
    request.service = frame[serviceAt];
    request.data.assign(frame.begin() + static_cast<long>(serviceAt) + 1, frame.end() - 1);
    request.frame = std::move(frame);
    return request;
}

}  // namespace veltrano
