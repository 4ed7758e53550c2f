#include "app/demo_mode.h"

#include <filesystem>

#include "app/settings/settings.h"
#include "calibration/demo_image.h"

#ifdef VELTRANO_HAVE_SIM
#include "sim/ecu_simulator.h"
#include "sim/lambda_simulator.h"
#endif

namespace veltrano {

struct DemoMode::Impl {
#ifdef VELTRANO_HAVE_SIM
    std::unique_ptr<EcuSimulator> ecu;
    std::unique_ptr<LambdaSimulator> lambda;
#endif
};

namespace {
DemoMode* current = nullptr;
}  // namespace

DemoMode::DemoMode() : impl_(new Impl) {}

DemoMode::~DemoMode() {
    if (current == this)
        current = nullptr;
    impl_.reset();
    if (!dir_.empty()) {
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
    }
}

DemoMode* DemoMode::Current() {
    return current;
}

void DemoMode::SetEcuSilent(bool silent) {
#ifdef VELTRANO_HAVE_SIM
    if (impl_->ecu) {
        EcuFaults faults;
        faults.dropAll = silent;
        impl_->ecu->SetFaults(faults);
    }
#else
    (void)silent;
#endif
}

void DemoMode::SetLambdaError(bool error) {
#ifdef VELTRANO_HAVE_SIM
    if (impl_->lambda) {
        LambdaFaults faults;
        faults.errorPackets = error;
        impl_->lambda->SetFaults(faults);
    }
#else
    (void)error;
#endif
}

bool DemoMode::Available() {
#ifdef VELTRANO_HAVE_SIM
    return true;
#else
    return false;
#endif
}

bool DemoMode::Start(const std::string& dir, std::string* error) {
#ifdef VELTRANO_HAVE_SIM
    EcuSimOptions ecuOptions;
    ecuOptions.image = MakeDemoImage(DefaultDemoOptions());
    ecuOptions.coolantStart = 85;
    ecuOptions.trueVeErrorPercent = 6;
    impl_->ecu = std::make_unique<EcuSimulator>(ecuOptions);
    if (!impl_->ecu->Start(error))
        return false;
    LambdaSimOptions lambdaOptions;
    EcuSimulator* ecu = impl_->ecu.get();
    lambdaOptions.afrSource = [ecu] { return ecu->MeasuredAfr(); };
    impl_->lambda = std::make_unique<LambdaSimulator>(lambdaOptions);
    if (!impl_->lambda->Start(error))
        return false;
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    dir_ = dir;
    current = this;
    settingsPath_ = (std::filesystem::path(dir) / "Settings.ini").string();
    DialogFields f;
    f.ecuPort = impl_->ecu->DevicePath();
    f.baudText = "38400";
    f.delayText = "50";
    f.lcPort = impl_->lambda->DevicePath();
    f.lamSensor = "LC-1/2";
    f.stationarRt = 5;
    f.countRtRewrite = 10;
    if (SaveSettings(settingsPath_, f) != SaveResult::Saved) {
        if (error)
            *error = "cannot write " + settingsPath_;
        return false;
    }
    return true;
#else
    (void)dir;
    if (error)
        *error = "the simulator is not built";
    return false;
#endif
}

std::vector<std::uint8_t> DemoMode::Image() {
    return MakeDemoImage(DefaultDemoOptions());
}

}  // namespace veltrano
