// Start-up: the window, its settings file and, for a newcomer, the demo.
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <cstring>
#include <iostream>

#include "app/command_line.h"
#include "app/demo_mode.h"
#include "app/log_actions.h"
#include "app/main_window.h"
#include "app/screenshots.h"
#include "app/settings/settings_path.h"
#include "app/translations.h"
#include "common/build_info.h"
#include "common/locale_separator.h"

using namespace veltrano;

namespace {

// The binary of a build tree (a CMakeCache.txt beside it) or one installed in the system,
// given no image and without a Settings.ini yet, starts on the demo; so does --demo anywhere.
// --no-demo turns it off.
bool WantDemo(const WindowCommandLine& line, const QString& exeDir,
              const std::string& settingsPath) {
    if (line.demo || line.noDemo)
        return line.demo;
    const bool buildTree = QFileInfo::exists(exeDir + "/CMakeCache.txt");
    return line.image.empty() && (buildTree || InstalledInSystem(exeDir.toStdString())) &&
           !QFileInfo::exists(QString::fromStdString(settingsPath));
}

// --help and --version answer without a display.
bool AnsweredWithoutWindow(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            std::cout << VersionLine("veltrano") << "\n";
            return true;
        }
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::cout << WindowUsage();
            return true;
        }
    }
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    if (AnsweredWithoutWindow(argc, argv))
        return 0;
    QApplication app(argc, argv);
    UseLocaleDecimalSeparator();
    const WindowCommandLine line = ParseWindowCommandLine({argv + 1, argv + argc});
    if (!line.error.empty()) {
        std::cerr << "veltrano: " << line.error << "\n" << WindowUsage();
        return 2;
    }
    InstallQtTranslations(app);
    const QString exeDir = QCoreApplication::applicationDirPath();
    WindowOptions options;
    options.settingsPath = SettingsFilePath(exeDir.toStdString());
    DemoMode demo;
    const bool demoWanted = WantDemo(line, exeDir, options.settingsPath);
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
    if (!line.image.empty())
        window.OpenFirmwareFile(QString::fromLocal8Bit(line.image.c_str()));
    if (!line.screenshots.empty())
        StartScreenshots(window, QString::fromLocal8Bit(line.screenshots.c_str()));
    if (!line.log.empty())
        window.Logs().OpenViewer(QString::fromLocal8Bit(line.log.c_str()));
    if (!line.replay.empty())
        window.Logs().StartReplay(QString::fromLocal8Bit(line.replay.c_str()));
    return app.exec();
}
