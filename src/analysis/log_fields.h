// Fields of a session log row as text: numbers with either decimal mark, and the time.
#pragma once

#include <optional>
#include <string_view>

namespace veltrano {

// A real written with '.' or `decimal` as its mark ("14.7", "14,7", "-3", "1E-5").
// Surrounding blanks and double quotes are allowed; nothing else.
std::optional<double> ParseLogReal(std::string_view text, char decimal);

// "9:5:3.7" (9:05:03 and 7 ms, as the log writes it; "," before the milliseconds too, and
// leading zeros) as seconds since midnight. The digits after the point are milliseconds.
std::optional<double> ParseLogTime(std::string_view text);

// Without surrounding blanks and one pair of double quotes.
std::string_view TrimField(std::string_view text);

}  // namespace veltrano
