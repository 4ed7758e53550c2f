// The toolbar pictures and the status bar's lit and unlit indicators, drawn in code.
#pragma once

#include <QColor>
#include <QIcon>
#include <QPixmap>

namespace veltrano {

enum class ToolIcon { Open, Save, Settings, Connect, Disconnect, Learning, Exit, Surface };

QIcon MakeToolIcon(ToolIcon which);
// A lit (green) or unlit (grey) indicator, 14 x 14.
QPixmap IndicatorPixmap(bool on);
// A red indicator for a failure, 14 x 14.
QPixmap FailurePixmap();
// The text colour of failures in the status bar and panels.
inline const QColor kFailureRed{200, 0, 0};

}  // namespace veltrano
