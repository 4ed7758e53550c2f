// Decoding of the LC-1 data word: the four bytes between the header 0xB2 0x82 and the next
// packet's 0xB2.
#pragma once

#include <cstdint>
#include <span>

#include "common/text_forms.h"
#include "lambda/lambda_reading.h"

namespace veltrano {

// Function code of the data word (0 lambda, 1 oxygen mode, 6 error, others status).
int LC1Function(std::span<const std::uint8_t, 4> data);
// The 14-bit value of the data word (0..16383).
int LC1Value(std::span<const std::uint8_t, 4> data);

// Applies one data word to `r`; `sep` is the decimal separator of Message_LC1. Returns false
// when the function code leaves the reading as it was (calibration, warm-up and the like).
bool DecodeLC1Data(std::span<const std::uint8_t, 4> data, LambdaReading& r, char sep);
inline bool DecodeLC1Data(std::span<const std::uint8_t, 4> data, LambdaReading& r) {
    return DecodeLC1Data(data, r, DecimalSeparator());
}

}  // namespace veltrano
