// The key groups of the table editors: each sign key has a Latin and a Russian letter twin so
// that the same physical keys work in both keyboard layouts.
#pragma once

namespace veltrano {

enum class KeyGroup { kPlus, kMinus, kInterpolateX, kInterpolateY, kOther };

// The group of a key character (a Unicode code point).
KeyGroup KeyGroupOf(char32_t key);

}  // namespace veltrano
