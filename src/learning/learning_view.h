// How the learning cycle reports to whoever shows it (the window, the command line,
// tests). Called on the cycle's thread; a window hands the values over to its own thread.
#pragma once

#include <optional>
#include <string>

#include "lambda/lambda_reading.h"
#include "learning/learning_gate.h"
#include "learning/operating_point.h"
#include "link/live_record.h"
#include "log/live_values.h"

namespace veltrano {

// Everything one processed record shows in the panels, labels and status bar.
struct LearningShown {
    LiveRecord live;
    LiveViewValues view;  // fuel per 100 km and the injection angles
    OperatingCell op;
    double NarrowbandAfr = 0;     // RzPanel28
    double LambdaCoeff = 0;       // RzPanel7
    double PcnInterp = 0;         // RzPanel29
    int count_log = 0;            // Panel27
    double LambdaWindowMean = 0;  // RzPanel5
    double LC_COrrect = 0;
    // The wideband reading taken by this record, if any (LC_coeff_panel, LC_afr_panel,
    // RzPanel30 and the stoichiometry status).
    std::optional<LambdaReading> reading;
    bool ramStatusOk = false;  // "Swith To Ram : OK" has been shown
    int sendingDelay = 0;      // "TimeRead: "
    bool allowLearning = false;
    bool updated = false;                        // this record ran a table update
    LearningGate gate = LearningGate::Admitted;  // the gate that refused this record
    std::string gateText;                        // its text; empty for a sample
    GateCounts gateCounts{};                     // records per gate since connect
};

class LearningView {
  public:
    virtual ~LearningView() = default;
    // Once per processed record, after the log row.
    virtual void RecordProcessed(const LearningShown&) {}
    // A wideband reading waits while no record is being processed (not taken).
    virtual void PendingReading(const LambdaReading&) {}
    // The operating point moved to another cell: repaint SG_PCN, SG_RT, SG_AFR, SG_UOZ,
    // RzStringGrid2, SG_BCN and SG_PCN_32x32.
    virtual void CellChanged() {}
    // The cycle changed texts of SG_PCN, SG_BCN, SG_RT or RzStringGrid2.
    virtual void GridsChanged() {}
    // The session log could not be written (text), or works again (empty text).
    virtual void LogStatus(const std::string&) {}
    // A grid cell that learning needs does not hold a number; reported once per cell.
    virtual void CellNotNumber(const std::string&) {}
};

}  // namespace veltrano
