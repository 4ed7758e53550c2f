#include "editing/compare_tip.h"

#include <cmath>

#include "common/text_forms.h"
#include "editing/editing_texts.h"

namespace veltrano {

std::string CompareTip(const std::string& oldText, double oldValue, const std::string& newText,
                       double newValue, char sep) {
    std::string out = std::string(editing_texts::kCompareWas) + " " + oldText + " → " + newText;
    if (oldValue == 0)
        return out;
    const double percent = (newValue - oldValue) / std::fabs(oldValue) * 100;
    const std::string shown = FormatMask("##0.0", std::fabs(percent), sep);
    return out + " (" + (percent < 0 ? "-" : "+") + shown + " %)";
}

}  // namespace veltrano
