// A grid cell's number made to fit its cell: a number wider than the cell loses decimals,
// rounded, before anything else; only a number whose whole part does not fit is cut at its
// end with "…". Never a cut-off middle or beginning.
#pragma once

#include <QString>
#include <functional>

namespace veltrano {

// `width` measures a text in the cell's font; `room` is the cell's width for text.
QString FitCellText(const QString& text, int room, const std::function<int(const QString&)>& width);

}  // namespace veltrano
