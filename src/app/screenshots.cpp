#include "app/screenshots.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QPixmap>
#include <QTimer>
#include <iostream>

#include "app/main_window.h"
#include "app/qt_messages.h"

namespace veltrano {

void ScreenshotTour::Then(int delayMs, std::function<void()> fn) {
    steps_.push_back({delayMs, std::move(fn)});
}

void ScreenshotTour::Save(QWidget& widget, const char* name) {
    const QString path = dir_ + "/" + name + ".png";
    const bool saved = widget.grab().save(path);
    std::cout << (saved ? "saved " : "failed ") << path.toStdString() << "\n";
    ok_ &= saved;
}

void ScreenshotTour::SaveImage(const QImage& image, const char* name) {
    const QString path = dir_ + "/" + name + ".png";
    const bool saved = image.save(path);
    std::cout << (saved ? "saved " : "failed ") << path.toStdString() << "\n";
    ok_ &= saved;
}

void ScreenshotTour::Start() {
    int at = 0;
    for (auto& step : steps_) {
        at += step.delayMs;
        QTimer::singleShot(at, &window_, std::move(step.fn));
    }
    QTimer::singleShot(at + 200, &window_, [this] {
        for (const auto& m : window_.Messages().Entries())
            std::cout << "message: " << m.caption << ": " << m.text << "\n";
        QApplication::exit(ok_ ? 0 : 1);
        delete this;
    });
}

void StartScreenshots(TMainForm& window, const QString& dir) {
    QDir().mkpath(dir);
    window.Messages().SetInteractive(false);
    auto* tour = new ScreenshotTour(window, dir);
    AddMainScenes(*tour);
    AddSessionScenes(*tour);
    AddFaultScenes(*tour);
    AddTablesScenes(*tour);
    AddSurfaceScenes(*tour);
    AddLearningScenes(*tour);
    tour->Start();
}

}  // namespace veltrano
