// Pictures of the window for the documentation: after open, connected with live data, the
// DIAG tab and the settings dialog. Needs the demo's simulators.
#pragma once

#include <QString>
#include <functional>
#include <vector>

class QImage;
class QWidget;

namespace veltrano {

class TMainForm;

// A sequence of timed steps over the window; each scene file adds its own steps.
class ScreenshotTour {
  public:
    ScreenshotTour(TMainForm& window, QString dir) : window_(window), dir_(std::move(dir)) {}

    TMainForm& Window() { return window_; }
    // Runs `fn` `delayMs` after the previous step.
    void Then(int delayMs, std::function<void()> fn);
    // Saves a widget as `<dir>/<name>.png`; a failure makes the tour exit non-zero.
    void Save(QWidget& widget, const char* name);
    void SaveImage(const QImage& image, const char* name);
    // Schedules every step, the last one ending the application.
    void Start();

  private:
    struct Step {
        int delayMs;
        std::function<void()> fn;
    };
    TMainForm& window_;
    QString dir_;
    std::vector<Step> steps_;
    bool ok_ = true;
};

// Scene files: each adds its steps to the tour, leaving the window disconnected.
void AddMainScenes(ScreenshotTour& tour);
void AddSessionScenes(ScreenshotTour& tour);
void AddFaultScenes(ScreenshotTour& tour);
void AddTablesScenes(ScreenshotTour& tour);
void AddSurfaceScenes(ScreenshotTour& tour);
void AddLearningScenes(ScreenshotTour& tour);

// Drives the window through its states and saves PNG files into `dir`; calls
// QApplication::exit with 0 when every picture was saved.
void StartScreenshots(TMainForm& window, const QString& dir);

}  // namespace veltrano
