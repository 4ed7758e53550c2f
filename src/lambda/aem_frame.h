// The AEM gauge's frame CR LF c1 c2 c3 c4 CR: its conversion and its log line.
#pragma once

#include <cstdint>
#include <ctime>
#include <span>
#include <string>

#include "common/text_forms.h"
#include "lambda/lambda_reading.h"

namespace veltrano {

// Takes the four characters as a number (the gauge writes "." as decimal point; it is read
// under the separator `sep`). A text that is no number keeps the previous AFR; it is not
// clamped. Then lc := 10 <= AFR <= 20, whether AFR is new or kept.
void ApplyAemText(std::span<const std::uint8_t, 4> chars, LambdaReading& r, char sep);
inline void ApplyAemText(std::span<const std::uint8_t, 4> chars, LambdaReading& r) {
    ApplyAemText(chars, r, DecimalSeparator());
}

// "H:mm:ss   31 34 2E 37": the time of day, three blanks, the characters in hexadecimal.
std::string AemLogLine(const std::tm& time, std::span<const std::uint8_t, 4> chars);

}  // namespace veltrano
