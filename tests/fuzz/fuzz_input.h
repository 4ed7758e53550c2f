// Reads typed values off the front of a fuzz input; past the end every value is zero.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>

namespace veltrano::fuzz {

class FuzzInput {
  public:
    explicit FuzzInput(std::span<const std::uint8_t> data) : data_(data) {}

    std::uint8_t Byte() { return pos_ < data_.size() ? data_[pos_++] : 0; }

    template <class T>
    T Raw() {
        unsigned char bytes[sizeof(T)] = {};
        const std::size_t n = std::min(sizeof(T), data_.size() - pos_);
        std::memcpy(bytes, data_.data() + pos_, n);
        pos_ += n;
        T value;
        std::memcpy(&value, bytes, sizeof(T));
        return value;
    }

    std::span<const std::uint8_t> Take(std::size_t n) {
        n = std::min(n, data_.size() - pos_);
        const auto part = data_.subspan(pos_, n);
        pos_ += n;
        return part;
    }

    std::span<const std::uint8_t> Rest() { return Take(data_.size() - pos_); }
    bool Empty() const { return pos_ >= data_.size(); }

  private:
    std::span<const std::uint8_t> data_;
    std::size_t pos_ = 0;
};

}  // namespace veltrano::fuzz
