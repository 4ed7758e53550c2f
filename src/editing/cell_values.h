// Values put into table cells as numbers: a typed value, the selection maths and a pasted block.
// Results are kept inside the values a byte of the table can show, and each cell is set from the
// byte its value is stored as (its text is that byte's text).
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "calibration/text_grid.h"
#include "editing/edit_context.h"
#include "editing/edited_tables.h"

namespace veltrano {

enum class ValueOp { Set, Add, MultiplyPercent };

struct ValuesResult {
    bool ok = true;        // false: nothing changed (a cell is not a number)
    bool clamped = false;  // some value was beyond the table's range and was limited
    std::string error;     // the message for !ok
};

// "«abc» не является числом"
std::string NotNumberMessage(std::string_view text);

// Set: v := x; Add: v := v + x; MultiplyPercent: v := v * (1 + x / 100). Every cell is read
// first: a cell that is not a number changes nothing.
ValuesResult ApplyValue(TextGrid& grid, TableId id, const GridSelection& sel, ValueOp op, double x,
                        int bcnMultiplier, char sep);

// The selection as text: cells separated by tabs, rows by newlines (texts as shown, with the
// locale's decimal separator).
std::string CopyBlock(const TextGrid& grid, const GridSelection& sel);

// Pastes a tab-separated block with its top-left corner at (left, top). A block that runs past
// the table or holds a text that is not a number is refused whole (nothing changes).
enum class PasteRefusal { None, Empty, DoesNotFit, NotANumber };
struct PasteResult {
    PasteRefusal refusal = PasteRefusal::None;
    bool clamped = false;
    std::string badText;
};
PasteResult PasteBlock(TextGrid& grid, TableId id, int left, int top, std::string_view text,
                       int bcnMultiplier, char sep);

}  // namespace veltrano
