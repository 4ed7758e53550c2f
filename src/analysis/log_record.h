// A log row as the live data record it was written from, for learning over a log and for
// replay. Fields the log does not hold stay 0.
#pragma once

#include <cstddef>

#include "analysis/log_table.h"
#include "link/live_record.h"

namespace veltrano {

LiveRecord RecordOfRow(const LogTable& table, std::size_t row);

// A stored value as the decimal the log wrote (within single precision).
double LoggedValue(const LogTable& table, std::size_t row, int column);

}  // namespace veltrano
