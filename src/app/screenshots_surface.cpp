// The 3D view of the fuel table with the live operating point while connected to the demo.
#include "app/main_window.h"
#include "app/screenshots.h"
#include "app/surface_view.h"

namespace veltrano {

void AddSurfaceScenes(ScreenshotTour& tour) {
    TMainForm& window = tour.Window();
    tour.Then(300, [&window] {
        window.SetActivePage(TMainForm::kPcn);
        window.Connect();
    });
    tour.Then(9000, [&window] { window.ShowSurfaceView(); });
    tour.Then(2000, [&tour, &window] {
        SurfaceView* view = window.Surface();
        if (view) {
            tour.SaveImage(view->Picture(), "surface_pcn_live");
            view->close();
        }
        window.Disconnect();
    });
}

}  // namespace veltrano
