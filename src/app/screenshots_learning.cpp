// The precise learning mode on the demo's realistic engine: the RT grid with the cells'
// confidence, tuned and locked colours, and the fuel table it learned.
#include <QRadioButton>

#include "app/demo_mode.h"
#include "app/main_window.h"
#include "app/screenshots.h"

namespace veltrano {

void AddLearningScenes(ScreenshotTour& tour) {
    TMainForm& window = tour.Window();
    tour.Then(500, [&window] {
        if (DemoMode* demo = DemoMode::Current())
            demo->SetRealistic(true);
        window.Control<QRadioButton>("RadioOlt")->setChecked(true);
        window.Control<QRadioButton>("RadioLAM_SHDK")->setChecked(true);
        window.Control<QRadioButton>("RadioPrecise")->setChecked(true);
        if (!window.Educations())
            window.ToggleLearning();
        window.Connect();
    });
    // The drive's first lap: idle, then cruise at four points with accelerations and
    // overruns between them.
    tour.Then(60000, [&tour, &window] {
        window.SetActivePage(TMainForm::kRt);
        tour.Save(window, "8_precise_confidence_rt");
        window.SetActivePage(TMainForm::kPcn);
    });
    tour.Then(500, [&tour, &window] {
        tour.Save(window, "9_precise_pcn");
        window.Disconnect();
        window.Control<QRadioButton>("RadioButton2")->setChecked(true);
        if (DemoMode* demo = DemoMode::Current())
            demo->SetRealistic(false);
    });
}

}  // namespace veltrano
