// Pictures of the window for the documentation: after open, connected with live data, the
// DIAG tab and the settings dialog. Needs the demo's simulators.
#pragma once

#include <QString>

namespace veltrano {

class TMainForm;

// Drives the window through its states and saves PNG files into `dir`; calls
// QApplication::exit with 0 when every picture was saved.
void StartScreenshots(TMainForm& window, const QString& dir);

}  // namespace veltrano
