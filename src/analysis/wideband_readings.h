// Which rows of a session log took a new wideband reading. The log keeps the latest reading
// and the coefficient the cycle computed from it, not the moment it came; but the coefficient
// changes only when a reading is taken, so a change marks the row that took one. A reading
// that gives the same coefficient again leaves no mark: where the coefficient stands still
// for whole reader periods, such readings are put back one period apart.
#pragma once

#include <vector>

#include "analysis/log_table.h"

namespace veltrano {

// One flag per row.
std::vector<bool> FreshReadingRows(const LogTable& log);

}  // namespace veltrano
