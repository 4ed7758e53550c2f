// The window when things go wrong, on the demo: long values in every panel, a session log
// that cannot be written, the wideband controller in error, a lost link, the question on
// closing with unsaved edits, and Qt's file dialog in Russian.
#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include "app/demo_mode.h"
#include "app/file_dialogs.h"
#include "app/main_window.h"
#include "app/qt_messages.h"
#include "app/screenshots.h"

namespace veltrano {
namespace {

// A record whose values are wider than their panels.
LearningShown LongValues() {
    LearningShown shown;
    shown.live.FsensorAirCycleRate = 411.833333333333;
    shown.live.FsensorAirFuelRatio = 14.1234567890123;
    shown.live.FsensorFuelTimeCorrection = -1.23456789012345;
    shown.live.FsensorCrankshaftSpeed = 3125;
    shown.live.FsensorPressure = 98.7654321;
    shown.live.FsensorFuelTimeLength = 12.3456789;
    shown.live.InjDuty = 96.5;
    shown.PcnInterp = 0.978123456789012;
    shown.LambdaCoeff = 1.06477803548431;
    shown.NarrowbandAfr = 14.6999999999999;
    shown.LambdaWindowMean = 1.0012345678;
    LambdaReading reading;
    reading.AFR = 15.0378593253;
    reading.stochiometric = 14.7;
    reading.Message_LC1 = "15,0";
    shown.reading = reading;
    shown.ramStatusOk = true;
    shown.sendingDelay = 310;
    return shown;
}

void Faults(bool ecuSilent, bool lambdaError) {
    if (DemoMode* demo = DemoMode::Current()) {
        demo->SetEcuSilent(ecuSilent);
        demo->SetLambdaError(lambdaError);
    }
}

}  // namespace

void AddFaultScenes(ScreenshotTour& tour) {
    TMainForm& window = tour.Window();
    tour.Then(500, [&window] {
        window.View().RecordProcessed(LongValues());
        window.View().LogStatus(
            "Журнал не записан: /home/tuner/Veltrano/Logs/(10/12/26_04.15).csv — нет места");
        window.SetActivePage(TMainForm::kDiag);
    });
    tour.Then(400, [&tour, &window] {
        tour.Save(window, "8_long_values_log_failure");
        window.View().LogStatus("");
        window.Connect();
    });
    tour.Then(9000, [&window] {
        window.SetActivePage(TMainForm::kDiag);
        Faults(false, true);
    });
    tour.Then(2500, [&tour, &window] {
        tour.Save(window, "9_wideband_error");
        Faults(true, true);
    });
    tour.Then(3000, [&tour, &window] {
        tour.Save(window, "10_link_lost");
        window.Disconnect();
        Faults(false, false);
        window.SetActivePage(TMainForm::kPcn);
    });
    tour.Then(500, [&tour, &window] {
        // An edit not saved, then the close box: its question is grabbed and cancelled.
        {
            std::lock_guard<std::mutex> lock(window.GridsMutex());
            TextGrid& pcn = window.Image().grids.SG_PCN;
            pcn.SetCell(5, 5, pcn.Cell(5, 5) + "1");
        }
        window.Messages().SetInteractive(true);
        QTimer::singleShot(400, &window, [&tour] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                tour.Save(*box, "11_close_prompt");
                box->button(QMessageBox::Cancel)->click();
            }
        });
        window.close();
        window.Messages().SetInteractive(false);
    });
    auto* files = new QFileDialog(&window);
    tour.Then(800, [files] {
        files->setOption(QFileDialog::DontUseNativeDialog);
        files->setFileMode(QFileDialog::ExistingFile);
        files->resize(880, 460);
        files->show();
        FitFileDialog(*files);
    });
    tour.Then(500, [&tour, files] {
        tour.Save(*files, "12_file_dialog");
        files->deleteLater();
    });
}

}  // namespace veltrano
