// The window under test on the offscreen platform: one QApplication, a fresh settings folder
// per test, messages collected instead of shown.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <QApplication>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "app/qt_messages.h"

namespace veltrano {
namespace fs = std::filesystem;

inline QApplication& App() {
    static int argc = 1;
    static char name[] = "window_test";
    static char* argv[] = {name, nullptr};
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}

class Window : public ::testing::Test {
  protected:
    void SetUp() override {
        App();
        dir = fs::temp_directory_path() /
              ("veltrano_window_" + std::to_string(::getpid()) + "_" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
        options.settingsPath = (dir / "Settings.ini").string();
        options.showFirstRunDialog = false;
        options.logDirectory = dir.string();
    }
    void TearDown() override {
        window.reset();
        fs::remove_all(dir);
    }
    TMainForm& Make() {
        window = std::make_unique<TMainForm>(options);
        window->Messages().SetInteractive(false);
        return *window;
    }
    std::vector<std::string> Texts(const std::string& kind) const {
        std::vector<std::string> out;
        for (const auto& e : window->Messages().Entries())
            if (e.kind == kind)
                out.push_back(e.caption + "|" + e.text);
        return out;
    }
    fs::path dir;
    WindowOptions options;
    std::unique_ptr<TMainForm> window;
};

}  // namespace veltrano
