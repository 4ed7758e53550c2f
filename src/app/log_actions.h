// The window's doors to recorded sessions: the toolbar's "Журнал" menu opens a log in a
// viewer window of its own, learns from a log on a copy of the current fuel table, and
// replays a log in place of a connection.
#pragma once

#include <QObject>
#include <QString>
#include <memory>
#include <optional>
#include <vector>

#include "analysis/log_table.h"

class QToolButton;
class QWidget;

namespace veltrano {

class LogLearningDialog;
class LogReplay;
class LogViewer;
struct MapAxes;
class TMainForm;

class LogActions : public QObject {
    Q_OBJECT
  public:
    explicit LogActions(TMainForm& window);
    ~LogActions() override;

    // The toolbar button with the menu.
    QToolButton* MakeButton(QWidget* parent);

    // Opens a viewer on the log; null when the file is not a log (after the warning).
    LogViewer* OpenViewer(const QString& path);
    const std::vector<LogViewer*>& Viewers() const { return viewers_; }

    // Learns over the log on a copy of the current fuel table and shows the proposal
    // (not modal); null when the log cannot be read or no image is open.
    LogLearningDialog* LearnFromLog(const QString& path);

    // Replays the log in place of a connection; refused while connected.
    LogReplay* StartReplay(const QString& path);
    void StopReplay();
    LogReplay* Replay() const { return replay_.get(); }

  private:
    QString AskForLog() const;
    std::shared_ptr<const LogTable> ReadLog(const QString& path);
    // The open image's fuel table axes as its grid labels them; none without an image.
    std::optional<MapAxes> PcnAxes() const;

    TMainForm& window_;
    std::vector<LogViewer*> viewers_;
    std::unique_ptr<LogReplay> replay_;
};

}  // namespace veltrano
