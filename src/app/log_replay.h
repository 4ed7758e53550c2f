// A replay in place of a connection: the log's rows drive the window's live view (panels,
// current cell, colouring, status) through the learning cycle, with nothing sent to any port.
// This small window holds its controls: play and pause, 1x, 4x and 16x, and the position.
#pragma once

#include <QWidget>
#include <memory>

#include "analysis/log_table.h"

class QButtonGroup;
class QLabel;
class QPushButton;
class QSlider;
class QTimer;

namespace veltrano {

class ReplaySession;
class ReplaySource;
class TMainForm;

class LogReplay : public QWidget {
    Q_OBJECT
  public:
    // Puts the window into replay mode; the destructor takes it out again.
    LogReplay(TMainForm& window, std::shared_ptr<const LogTable> log, const QString& name);
    ~LogReplay() override;

    ReplaySource& Source();
    QPushButton* PlayButton() const { return play_; }
    QSlider* Slider() const { return slider_; }
    QLabel* Position() const { return position_; }
    void SetSpeed(int factor);
    // Brings the controls in line with the source (the timer calls it).
    void Sync();

  signals:
    void stopRequested();

  protected:
    void closeEvent(QCloseEvent* e) override;

  private:
    TMainForm& window_;
    std::shared_ptr<const LogTable> log_;
    std::unique_ptr<ReplaySession> session_;
    bool educations_ = false;
    QPushButton* play_ = nullptr;
    QButtonGroup* speeds_ = nullptr;
    QSlider* slider_ = nullptr;
    QLabel* position_ = nullptr;
    QTimer* timer_ = nullptr;
};

}  // namespace veltrano
