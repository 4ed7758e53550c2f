// One data row of a session log cut into its 71 values in a single pass: plain numbers
// ("-12", "14.7", "14,7") are read where they stand, without copies; any other form
// (blanks, quotes, exponents, long mantissas) goes through the general field parsers.
#pragma once

#include <string_view>

#include "analysis/log_columns.h"

namespace veltrano {

// `time` gets the seconds since midnight, values[1..70] the other columns (values[0] is not
// touched). `sep` between fields, `decimal` the mark besides '.'. Fields past the 71st must
// be blank (a spreadsheet's trailing cells). False when the row does not hold 71 valid
// fields; the outputs are then undefined.
bool ParseLogRow(std::string_view line, char sep, char decimal, double& time, float* values);

}  // namespace veltrano
