#include "editing/key_groups.h"

namespace veltrano {

KeyGroup KeyGroupOf(char32_t key) {
    switch (key) {
        case U'+':
        case U'=':
        case U'a':
        case U'\u0444':  // ф
            return KeyGroup::kPlus;
        case U'-':
        case U'_':
        case U'd':
        case U'\u0432':  // в
            return KeyGroup::kMinus;
        case U'I':
        case U'i':
        case U'\u0428':  // Ш
        case U'\u0448':  // ш
            return KeyGroup::kInterpolateX;
        case U'P':
        case U'p':
        case U'\u0417':  // З
        case U'\u0437':  // з
            return KeyGroup::kInterpolateY;
        default:
            return KeyGroup::kOther;
    }
}

}  // namespace veltrano
