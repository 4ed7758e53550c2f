// The learning cycle's processing of one live record, and the state it keeps across
// connections. The driver thread (TEducation_Thread) calls ProcessRecord once per record;
// tests call it directly.
//
// Locks, always taken in this order: the engine's state, the grids' mutex (shared with the
// window, which holds it whenever it reads or edits the grids), the link's buffer guard.
// View callbacks run with no lock held.
#pragma once

#include <functional>
#include <mutex>

#include "calibration/calibration_grids.h"
#include "calibration/firmware.h"
#include "calibration/firmware_layout.h"
#include "learning/learning_link.h"
#include "learning/learning_options.h"
#include "learning/learning_state.h"
#include "learning/learning_view.h"
#include "learning/operating_point.h"
#include "learning/precise_learning.h"
#include "log/log_timeline.h"
#include "log/session_log.h"

namespace veltrano {

// What the cycle needs of the open image, copied when it is opened or its PCN switched.
struct LearningImage {
    LearningAxes axes;
    bool FlagDAD = false;
    bool FlagPcnGridDad = false;
    TableAddresses addresses;  // FirmwareLayout.StartAddrAFR, ...UOZ, ...PCN, ...BCN
    bool loaded = false;
    std::array<double, 256> pcnAsOpened{};  // the learned PCN in the image, row-major
};

LearningImage LearningImageFrom(const TFirmware& firmware, const FirmwareLayout& layout);

// The painting side's view of the state.
struct LearningPaintState {
    OperatingCell op;
    CellCounts LearnHits{};
    CellCounts MovementMap{};
    bool preciseMode = false;
    PreciseMap precise{};
};

// Records after the last wideband reading during which the wideband source still learns.
inline constexpr long kStaleReadingRecords = 20;

// Told just before and just after the update writes SG_PCN and SG_BCN, on the cycle's thread
// with the grids' lock held, so that the change can be kept as one edit.
class TableUpdateObserver {
  public:
    virtual ~TableUpdateObserver() = default;
    virtual void UpdateStarting() = 0;
    virtual void UpdateDone() = 0;
};

class LearningEngine {
  public:
    LearningEngine(CalibrationGrids& grids, std::mutex& gridsMutex);

    // An image was opened: takes its axes and addresses, every LearnHits cell := 1.
    void ImageOpened(const LearningImage& image);
    // The PCN table was switched: takes the new flags and addresses.
    void SetImage(const LearningImage& image);
    void SetOptions(const LearningOptions& options);
    LearningOptions Options() const;
    // The learning switch (Educations).
    void SetEducations(bool on);
    bool Educations() const;
    // May be null; must outlive its use.
    void SetView(LearningView* view);
    // May be null; must outlive its use.
    void SetUpdateObserver(TableUpdateObserver* observer);

    // Processes the link's current record: live view values, operating point, coefficients,
    // gates, learning sample and update, the log row; then clears FlagIsNew.
    void ProcessRecord(ConnectionLearningState& conn, LearningLink& link, LearningLambda* lambda,
                       SessionLog* log);
    // Shows a wideband reading that waits while no record is pending (it stays pending).
    void ShowPendingReading(const LambdaReading& reading);

    // "Сброс Движения": MovementMap := 0, then the grids repaint.
    void ResetMovement();
    // "Сброс обучения": LearnHits := 0.
    void ResetLearning();
    // A fuel-table edit requested a write: the rewrite mark := 1 and the run's samples := 0.
    void NotePcnRewrite(bool ram);
    // The precise mode leaves a locked cell alone.
    void SetCellLock(int c, int r, bool locked);
    // Seconds; the precise mode times its delays with it. By default each record's time is
    // the time its log row carries, on the log's time line, so learning over the log later
    // sees the same times.
    void SetClock(std::function<double()> clock);

    LearningPaintState PaintState() const;
    // The precise mode's verdicts on the readings offered to it.
    std::array<long, kPreciseVerdicts> PreciseVerdicts() const;
    ProgramLearningState State() const;

  private:
    struct Notices;
    void Pass(ConnectionLearningState& conn, LearningLink& link, LearningLambda* lambda,
              SessionLog* log, const LiveRecord& live, bool fresh, Notices& notices);
    void LocateCell(const LearningImage& image, const LearningOptions& options, Notices& notices);
    bool CoefficientUsable(const ConnectionLearningState& conn,
                           const LearningOptions& options) const;
    void Gate(const LiveRecord& live, const LearningOptions& options, bool educations);
    // Returns whether the cell jumped by more than one.
    bool Stationarity(const LiveRecord& live, const LearningOptions& options);
    void Learn(ConnectionLearningState& conn, LearningLink& link, const LiveRecord& live,
               const LearningImage& image, const LearningOptions& options, Notices& notices);
    void LearnPrecise(ConnectionLearningState& conn, LearningLink& link, const LiveRecord& live,
                      double now, const LearningImage& image, const LearningOptions& options,
                      Notices& notices);
    void WriteLogRow(ConnectionLearningState& conn, LearningLambda* lambda, SessionLog* log,
                     const LiveRecord& live, const LogTime& time, Notices& notices);
    void Report(Notices& notices);

    CalibrationGrids& grids_;
    std::mutex& gridsMutex_;

    mutable std::mutex configMutex_;
    LearningImage image_;
    LearningOptions options_;
    bool educations_ = false;
    LearningView* view_ = nullptr;
    TableUpdateObserver* updateObserver_ = nullptr;

    mutable std::mutex stateMutex_;
    ProgramLearningState s_;
    PreciseLearning precise_;
    std::function<double()> clock_;  // empty: the log's time line
    LogTimeline timeline_;
};

}  // namespace veltrano
