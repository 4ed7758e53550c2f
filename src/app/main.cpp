// Start-up: the window, its settings file and, for a newcomer, the demo.
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <cstring>
#include <iostream>

#include "app/demo_mode.h"
#include "app/log_actions.h"
#include "app/main_window.h"
#include "app/screenshots.h"
#include "app/settings/settings_path.h"

using namespace veltrano;

namespace {

// The binary of a build tree (a CMakeCache.txt beside it) without a Settings.ini of its own
// starts on the demo; so does --demo anywhere. --no-demo turns it off.
bool WantDemo(int argc, char** argv, const QString& exeDir, const std::string& settingsPath) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--demo") == 0)
            return true;
        if (std::strcmp(argv[i], "--no-demo") == 0)
            return false;
    }
    return QFileInfo::exists(exeDir + "/CMakeCache.txt") &&
           !QFileInfo::exists(QString::fromStdString(settingsPath));
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QString exeDir = QCoreApplication::applicationDirPath();
    WindowOptions options;
    options.settingsPath = SettingsFilePath(exeDir.toStdString());
    DemoMode demo;
    const bool demoWanted = WantDemo(argc, argv, exeDir, options.settingsPath);
    if (demoWanted) {
        std::string error;
        const std::string dir = (QDir::tempPath() + "/veltrano-demo-" +
                                 QString::number(QCoreApplication::applicationPid()))
                                    .toStdString();
        if (demo.Start(dir, &error)) {
            options.settingsPath = demo.SettingsPath();
            std::cout << "Demo mode: simulated ECU and LC-1 on pseudo-terminals; settings in "
                      << options.settingsPath << "\n";
        } else {
            std::cerr << "Demo mode unavailable: " << error << "\n";
        }
    }
    options.showFirstRunDialog = !demoWanted;
    TMainForm window(options);
    if (demoWanted && options.settingsPath == demo.SettingsPath())
        window.OpenFirmwareBytes(DemoMode::Image(), "demo.bin");
    window.show();
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "--screenshots") == 0)
            StartScreenshots(window, argv[i + 1]);
        if (std::strcmp(argv[i], "--log") == 0)
            window.Logs().OpenViewer(QString::fromLocal8Bit(argv[i + 1]));
        if (std::strcmp(argv[i], "--replay") == 0)
            window.Logs().StartReplay(QString::fromLocal8Bit(argv[i + 1]));
    }
    return app.exec();
}
