// The ECU's side of KWP2000 framing: it collects request frames from the byte stream and
// builds its answers (to the tester 0xF1 from the ECU 0x10, 8-bit sum checksum).
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace veltrano {

inline constexpr std::uint8_t kEcuAddress = 0x10;
inline constexpr std::uint8_t kTesterAddress = 0xF1;

std::uint8_t SumOfBytes(const std::uint8_t* data, std::size_t n);

// A request as the ECU understood it.
struct EcuRequest {
    std::vector<std::uint8_t> frame;  // header to checksum
    std::uint8_t service = 0;
    std::vector<std::uint8_t> data;  // bytes after the service identifier
};

// Answer frame: short header (0x80 + length) up to 63 bytes after the header, else
// (or when forced) the long header 0x80 with a separate length byte.
std::vector<std::uint8_t> BuildAnswer(std::uint8_t service, const std::vector<std::uint8_t>& data,
                                      bool longForm = false);
// Negative answer 7F <service> <code>.
std::vector<std::uint8_t> BuildNegativeAnswer(std::uint8_t service, std::uint8_t code);

// Collects request frames byte by byte. Bytes that cannot start a frame are skipped; a
// frame with a wrong checksum or addresses is dropped and counted.
class RequestCollector {
  public:
    // Feeds one byte; returns a request when it completes one.
    std::optional<EcuRequest> Feed(std::uint8_t byte);
    // Forgets a partial frame (the line went quiet in the middle of one).
    void Reset() { buffer_.clear(); }
    bool Partial() const { return !buffer_.empty(); }
    long Rejected() const { return rejected_.load(); }

  private:
    std::size_t ExpectedLength() const;
    std::optional<EcuRequest> Complete();

    std::vector<std::uint8_t> buffer_;
    std::atomic<long> rejected_{0};  // read by other threads
};

}  // namespace veltrano
