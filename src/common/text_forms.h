// Text forms of numbers as the grids, panels and files show them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace veltrano {

// The user's decimal separator; the tool is made for the comma.
char DecimalSeparator();
void SetDecimalSeparator(char sep);

// Shortest decimal text with at most 15 significant digits ("14,7", "1E-5", "0").
std::string GeneralText(double v, char sep);
inline std::string GeneralText(double v) { return GeneralText(v, DecimalSeparator()); }

// Plain decimal integer.
std::string IntegerText(long long v);

// Format mask such as "##0.##", "##0.0000", "##.#00", "#0.##": '0' forces a digit, '#' is
// optional; rounds half away from zero at the last digit shown.
std::string FormatMask(std::string_view mask, double v, char sep);
inline std::string FormatMask(std::string_view mask, double v) {
    return FormatMask(mask, v, DecimalSeparator());
}

// Parses a number written with the given separator (surrounding blanks allowed).
// Nothing else is accepted: no other separator, no trailing text, no inf/nan.
std::optional<double> ParseNumber(std::string_view text, char sep);
inline std::optional<double> ParseNumber(std::string_view text) {
    return ParseNumber(text, DecimalSeparator());
}
std::optional<long long> ParseInteger(std::string_view text);

// Round half to even to an integer.
long long RoundHalfEven(double v);
// Round half away from zero to the given number of decimals.
double RoundHalfAway(double v, int decimals);
// Encoding into a byte: round half to even, keep the low 8 bits.
std::uint8_t EncodeByte(double v);

}  // namespace veltrano
