// Russian descriptions of the trouble codes these ECUs report.
#pragma once

#include <span>
#include <string_view>

namespace veltrano {

struct DescribedTroubleCode {
    std::string_view code;  // "P0130"
    std::string_view text;
};

// The description of a code in "P0130" form (upper or lower case hex digits);
// "Неизвестный код" for a code outside the table.
std::string_view TroubleCodeDescription(std::string_view code);

// Every described code, sorted by code.
std::span<const DescribedTroubleCode> DescribedTroubleCodes();

}  // namespace veltrano
