// The tooltip of a cell that differs from the reference image: "было 0,98 → 1,02 (+4,1 %)".
#pragma once

#include <string>

namespace veltrano {

// `oldText` and `newText` as the grid shows them; the change in percent of the old value is left
// out when the old value is 0.
std::string CompareTip(const std::string& oldText, double oldValue, const std::string& newText,
                       double newValue, char sep);

}  // namespace veltrano
