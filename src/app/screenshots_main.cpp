// The main window on the demo: after open, connected and learning, the DIAG and DATA tabs and
// the settings dialog.
#include <QCheckBox>
#include <QRadioButton>
#include <QTabWidget>

#include "app/main_window.h"
#include "app/qt_messages.h"
#include "app/screenshots.h"
#include "app/settings_dialog.h"

namespace veltrano {

void AddMainScenes(ScreenshotTour& tour) {
    TMainForm& window = tour.Window();
    tour.Then(300, [&tour, &window] {
        window.SetActivePage(TMainForm::kPcn);
        tour.Save(window, "1_after_open");
        // Learn into the RAM window from the wideband readings.
        window.Control<QRadioButton>("RadioRam")->setChecked(true);
        window.Control<QRadioButton>("RadioLAM_SHDK")->setChecked(true);
        window.Control<QCheckBox>("CheckBox1")->setChecked(true);
        window.ToggleLearning();
        window.Connect();
    });
    tour.Then(11700, [&tour, &window] {
        window.SetActivePage(TMainForm::kPcn);
        tour.Save(window, "2_connected_pcn");
        window.SetActivePage(TMainForm::kUoz);
    });
    tour.Then(500, [&tour, &window] {
        tour.Save(window, "3_connected_uoz");
        window.SetActivePage(TMainForm::kDiag);
    });
    tour.Then(500, [&tour, &window] {
        tour.Save(window, "4_diag");
        window.SetActivePage(TMainForm::kData);
    });
    tour.Then(500, [&tour, &window] {
        tour.Save(window, "5_data");
        AppSettings values = window.Settings();
        TFormSettings dialog(values, window.SettingsPath(), &window, &window.Messages());
        dialog.show();
        dialog.adjustSize();
        tour.Save(dialog, "6_settings_learning");
        dialog.pages->setCurrentIndex(0);
        tour.Save(dialog, "7_settings_connection");
        dialog.close();
        window.Disconnect();
    });
}

}  // namespace veltrano
