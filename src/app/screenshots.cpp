#include "app/screenshots.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QPixmap>
#include <QRadioButton>
#include <QTabWidget>
#include <QTimer>
#include <iostream>

#include "app/main_window.h"
#include "app/qt_messages.h"
#include "app/settings_dialog.h"

namespace veltrano {
namespace {

bool Save(QWidget& w, const QString& dir, const char* name) {
    const QString path = dir + "/" + name + ".png";
    const bool ok = w.grab().save(path);
    std::cout << (ok ? "saved " : "failed ") << path.toStdString() << "\n";
    return ok;
}

}  // namespace

void StartScreenshots(TMainForm& window, const QString& dir) {
    QDir().mkpath(dir);
    window.Messages().SetInteractive(false);
    auto* ok = new bool(true);
    auto at = [&window](int ms, std::function<void()> fn) {
        QTimer::singleShot(ms, &window, std::move(fn));
    };
    at(300, [&window, dir, ok] {
        window.SetActivePage(TMainForm::kPcn);
        *ok &= Save(window, dir, "1_after_open");
        // Learn into the RAM window from the wideband readings.
        window.Control<QRadioButton>("RadioRam")->setChecked(true);
        window.Control<QRadioButton>("RadioLAM_SHDK")->setChecked(true);
        window.Control<QCheckBox>("CheckBox1")->setChecked(true);
        window.ToggleLearning();
        window.Connect();
    });
    at(12000, [&window, dir, ok] {
        window.SetActivePage(TMainForm::kPcn);
        *ok &= Save(window, dir, "2_connected_pcn");
        window.SetActivePage(TMainForm::kUoz);
    });
    at(12500, [&window, dir, ok] {
        *ok &= Save(window, dir, "3_connected_uoz");
        window.SetActivePage(TMainForm::kDiag);
    });
    at(13000, [&window, dir, ok] {
        *ok &= Save(window, dir, "4_diag");
        window.SetActivePage(TMainForm::kData);
    });
    at(13500, [&window, dir, ok] {
        *ok &= Save(window, dir, "5_data");
        AppSettings values = window.Settings();
        TFormSettings dialog(values, window.SettingsPath(), &window, &window.Messages());
        dialog.show();
        dialog.adjustSize();
        *ok &= Save(dialog, dir, "6_settings_learning");
        dialog.pages->setCurrentIndex(0);
        *ok &= Save(dialog, dir, "7_settings_connection");
        dialog.close();
        window.Disconnect();
        for (const auto& m : window.Messages().Entries())
            std::cout << "message: " << m.caption << ": " << m.text << "\n";
        QApplication::exit(*ok ? 0 : 1);
        delete ok;
    });
}

}  // namespace veltrano
