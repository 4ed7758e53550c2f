// The main window: toolbar, the table tabs, the "Настройка" tab, the status bar, and the
// owner of the image, the ECU link, the learning driver and the lambda reader.
#pragma once

#include <QHash>
#include <QLabel>
#include <QMainWindow>
#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "app/cell_colours.h"
#include "app/grid_view.h"
#include "app/lambda_status.h"
#include "app/live_panels.h"
#include "app/settings/settings.h"
#include "app/surface_view.h"
#include "app/unsaved_edits.h"
#include "app/window_learning_view.h"
#include "calibration/calibration_file.h"
#include "editing/edit_context.h"
#include "editing/table_editor.h"
#include "learning/learning_engine.h"

class QAction;
class QCheckBox;
class QLineEdit;
class QMenu;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTabWidget;
class QTimer;
class QToolBar;

namespace veltrano {

enum class TransformKind { X, Y, Smooth };

class LearningConnection;
class LearningEdits;
class TableEditActions;
class ValueEntry;
class QtMessages;
class TLcThreat;
class TOBDII;
class SessionLog;
class TroubleCodesPanel;
class LogActions;
class LearningGatePanel;
class TextGrid;
class PreciseControls;

// How the window is started.
struct WindowOptions {
    std::string settingsPath;        // Settings.ini to read and write
    bool showFirstRunDialog = true;  // welcome box and dialog when the file is missing
    std::string logDirectory;        // where "Logs" is created; empty: the current directory
};

class TMainForm : public QMainWindow {
    Q_OBJECT
  public:
    explicit TMainForm(WindowOptions options, QWidget* parent = nullptr);
    ~TMainForm() override;

    // Toolbar actions (also used by the tests and the demo mode).
    bool OpenFirmwareFile(const QString& path);
    bool OpenFirmwareBytes(std::vector<std::uint8_t> bytes, const QString& name);
    // False when nothing was written (no image, cancelled, failed).
    bool SaveFirmware();
    // Table edits not yet saved to a file.
    bool HasUnsavedTableEdits();
    void ShowSettingsDialog();
    void Connect();
    void Disconnect();
    void ToggleLearning();
    void ExitTool();
    void ClearTroubleCodes();
    void ReadTroubleCodes();
    void LoadSettings();
    void Reload_status(int intake, int max);
    // The table menu's transforms on the active tab.
    void Transform(TransformKind kind);
    void ApplyChanges();
    void GenerateUoz();
    // Opens the 3D view of the current tab's table beside the window.
    void ShowSurfaceView();
    SurfaceView* Surface() const { return surface_; }

    // State the tests look at.
    bool EcuConnected() const { return ecuConnected_; }
    bool LinkLost() const { return linkLost_; }
    bool Educations() const { return educations_.load(); }
    bool Connecting() const { return connecting_; }
    const std::string& LogTimeName() const { return logTimeName_; }
    const AppSettings& Settings() const { return settings_; }
    const std::string& SettingsPath() const { return options_.settingsPath; }
    Calibration& Image() { return calib_; }
    TOBDII* Link() const { return link_.get(); }
    QTabWidget* LeftTabs() const { return leftTabs_; }
    QTabWidget* RightTabs() const { return rightTabs_; }
    GridView* Grid(const QString& name) const { return grids_.value(name); }
    QLabel* Panel(const QString& name) const { return panels_.value(name); }
    QLabel* StatusText(const QString& name) const { return statusTexts_.value(name); }
    QLabel* StatusIcon(const QString& name) const { return statusIcons_.value(name); }
    QAction* ToolAction(int index) const { return toolActions_[index]; }
    QProgressBar* Progress() const { return progress_; }
    TroubleCodesPanel* TroubleCodes() const { return troubleCodes_; }
    LearningGatePanel* GatePanel() const { return gatePanel_; }
    LogActions& Logs() const { return *logActions_; }
    // Where session logs are written ("Logs" of the log directory).
    QString LogFolder() const;
    // A replay stands in for the connection: status, cell colouring.
    void SetReplayMode(bool on);
    // Takes a whole proposed fuel table into SG_PCN, and into the ECU while connected.
    void ApplyPcnTable(const TextGrid& table);
    QtMessages& Messages() const { return *messages_; }
    PaintState& Paint() { return paint_; }
    LearningEngine& Engine() { return engine_; }
    std::mutex& GridsMutex() { return gridsMutex_; }
    WindowLearningView& View() { return view_; }
    // The table edit model (undo, compare, "table changed") and its window actions.
    TableEditor& Edits() { return *tableEditor_; }
    TableEditActions& EditActions() { return *editActions_; }
    ValueEntry& Values() { return *valueEntry_; }
    // The items of a grid's context menu (ShowGridMenu shows them).
    void FillGridMenu(QMenu& menu, GridView* grid, bool second);

    // Tab page indices, hidden tabs counted.
    enum Page {
        kBcn,
        kPcn,
        kAfr,
        kUoz,
        kRt,
        kPcnTrt,
        kData,
        kDiag,
        kErrors,
        kShdk,
        kPcn32,
        kPcn32x32
    };
    int ActivePage() const;
    void SetActivePage(int page);
    // Pulls the workers' latest state into the widgets (the refresh timer calls it).
    void RefreshLive();
    // Milliseconds from a processed record to its panels, one per shown record.
    const std::vector<double>& Latencies() const { return latencies_; }
    void SetRefreshInterval(int ms);

  signals:
    void connectFinished(bool ok);

  protected:
    void closeEvent(QCloseEvent* e) override;

  private:
    friend class TuningTab;
    void BuildToolbar();
    void BuildStatusBar();
    void BuildLeftTabs();
    void BuildRightTab();
    QWidget* BuildTableTab(GridView* grid, QWidget* extra = nullptr);
    QWidget* BuildDataTab();
    QWidget* BuildDiagTab();
    QWidget* BuildErrorsTab();
    QWidget* BuildUozTab();
    GridView* AddGrid(const QString& name, TextGrid* grid, bool labelRow, bool labelCol);
    QLabel* AddPanel(const QString& name, bool dark = true);
    void AddStatusPanel(const QString& name, const QString& caption, bool icon, bool bold = false,
                        int stretch = 0);
    void SetStatus(const QString& name, const QString& caption, std::optional<bool> on);
    void ShowFailures();
    void SetTabShown(int page, bool shown);
    void AfterOpen();
    void ReloadAllGrids();
    void InstallPaintRules();
    void InstallEditors();
    void InstallTableEdits();
    void ShowTableNote(const QString& text);
    void ShowGridMenu(GridView* grid, const QPoint& pos, bool second);
    void ExportTable();
    void EditKey(GridView* grid, char32_t key);
    EditContext MakeEditContext();
    void ReplayDeferred();
    void SwitchPcnTable(bool checked);
    void WriteLearningBoxes();
    void ShowLearningBoxes();
    void FinishConnect(std::unique_ptr<TOBDII> link, bool ok);
    void DisconnectLink();
    void WatchLink();
    // Asks whether to save unsaved table edits; false: the user keeps them (cancel).
    bool ConfirmDiscardEdits();
    void WatchLambda();
    void SetPanelsStale(bool stale);
    void SetStatusFailure(const QString& name, bool failure);
    void StartLearningAndLambda();
    void PushOptions();
    void ShowRecord(const LearningShown& shown);
    void InstallSurfaceView(QToolBar* bar);
    void FollowGridsInSurfaceView();
    SurfaceSnapshot SurfaceNow();

    WindowOptions options_;
    AppSettings settings_;
    Calibration calib_;
    // Held by the window whenever it reads or edits the grids; the learning cycle shares it.
    std::mutex gridsMutex_;
    LearningEngine engine_{calib_.grids, gridsMutex_};
    WindowLearningView view_;
    UnsavedEdits unsaved_;
    RecordedMessages deferred_;  // boxes raised under the grids' lock, shown after it
    // A fuel-table edit's write request resets the learning run. The request comes under the
    // grids' lock, and the learning cycle takes that lock inside its own: the reset waits for
    // ReplayDeferred.
    struct PcnListener final : PcnEditListener {
        LearningEngine* engine = nullptr;
        bool olt = false;
        bool ram = false;
        void PcnRewriteRequested(PcnRewrite kind) override;
        void Flush();
    } pcnListener_;
    std::unique_ptr<QtMessages> messages_;
    std::unique_ptr<TOBDII> link_;
    QString logNotice_;  // the session log's last failure, empty while it writes
    std::unique_ptr<TLcThreat> lc_;
    LambdaWatch lambdaWatch_;
    std::unique_ptr<LearningConnection> learning_;
    bool ecuConnected_ = false;
    bool closeConfirmed_ = false;  // "Выход" has asked about unsaved edits
    bool linkLost_ = false;        // the ECU stopped answering; polling has ended
    std::chrono::steady_clock::time_point ecuSessionEndsBy_{};  // of a session left open
    QString linkNotice_;
    QString
        writeStatus_;  // a block write in progress      // why the last session ended unconfirmed
    bool connecting_ = false;
    std::atomic<bool> educations_{false};
    std::string logTimeName_;
    LiveViewState liveState_;
    PaintState paint_;
    std::thread connectThread_;
    std::atomic<int> progressIntake_{-1};
    std::atomic<int> progressMax_{0};

    QTabWidget* leftTabs_ = nullptr;
    QTabWidget* rightTabs_ = nullptr;
    QWidget* pages_[12] = {};
    QString pageTitles_[12];
    QAction* toolActions_[7] = {};
    QProgressBar* progress_ = nullptr;
    QTimer* refreshTimer_ = nullptr;
    QHash<QString, GridView*> grids_;
    QHash<QString, QLabel*> panels_;
    QHash<QString, QLabel*> statusTexts_;
    QHash<QString, QLabel*> statusIcons_;
    QHash<QString, QWidget*> controls_;
    QLineEdit* loadScale_ = nullptr;
    TroubleCodesPanel* troubleCodes_ = nullptr;
    LearningGatePanel* gatePanel_ = nullptr;
    LogActions* logActions_ = nullptr;
    PreciseControls* precise_ = nullptr;  // the precise mode's controls, a child
    std::vector<double> latencies_;
    std::unique_ptr<TableEditor> tableEditor_;
    TableEditActions* editActions_ = nullptr;
    ValueEntry* valueEntry_ = nullptr;
    std::unique_ptr<LearningEdits> learningEdits_;
    QLabel* tableNote_ = nullptr;
    QTimer* tableNoteTimer_ = nullptr;
    SurfaceView* surface_ = nullptr;  // created at its first opening

  public:
    // "Настройка" controls by their names.
    template <class T>
    T* Control(const QString& name) const {
        return qobject_cast<T*>(controls_.value(name));
    }
};

}  // namespace veltrano
