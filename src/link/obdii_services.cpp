// The KWP2000 services the link uses.
#include "link/framing.h"
#include "link/obdii.h"

namespace veltrano {
namespace {

std::uint8_t SpeedCode(int baud) {
    switch (baud) {
        case 10400:
            return 0x0A;
        case 38400:
            return 0x26;
        case 57600:
            return 0x39;
        default:
            return 0x00;
    }
}

}  // namespace

bool TOBDII::ChangeLineSpeed(int baud) {
    std::lock_guard<std::mutex> lock(port_mutex_);
    if (!line_->SetLine(baud))
        return false;
    lineBaud_ = baud;
    spacing_.Quiet();  // the pause before the next request counts from the new speed
    answerTiming_.clear();
    return true;
}

void TOBDII::StartCommunication() {
    SleepTimeWrite = 200;
    SendService(kEcuAddress, kTesterAddress, 0x81);
}

bool TOBDII::StartDiagnosticSession() {
    const std::uint8_t data[] = {0x81, SpeedCode(FBaudRate)};
    SendRequest(kEcuAddress, kTesterAddress, 0x10, data, 0);
    if (!StartDiagSession)
        return false;
    return ChangeLineSpeed(FBaudRate);
}

bool TOBDII::TesterPresent() {
    const std::uint8_t data[] = {0x01};
    SendRequest(kEcuAddress, kTesterAddress, 0x3E, data, 0);
    return TesterPres;
}

bool TOBDII::StopDiagnosticSession() {
    SendService(kEcuAddress, kTesterAddress, 0x20);
    return !FDiagnosticSession;
}

bool TOBDII::StopCommunication() {
    ChangeLineSpeed(10400);
    SendService(kEcuAddress, kTesterAddress, 0x82);
    return !FCommunication;
}

void TOBDII::ReadLiveData() {
    const std::uint8_t data[] = {0x01};
    SendRequest(kEcuAddress, kTesterAddress, 0x21, data, 0);
}

void TOBDII::ReadLiveDataOLT() {
    const std::uint8_t data[] = {0x0F};
    SendRequest(kEcuAddress, kTesterAddress, 0x21, data, 0);
}

void TOBDII::ClearErrors() {
    const std::uint8_t data[] = {0xFF, 0x00};
    SendRequest(kEcuAddress, kTesterAddress, 0x14, data, 0);
}

void TOBDII::ReadErrors() {
    const std::uint8_t data[] = {0x00, 0x00, 0x00};
    SendRequest(kEcuAddress, kTesterAddress, 0x18, data, 0);
}

void TOBDII::SwitchToRam() {
    const std::uint8_t data[] = {0x0F, 0x06, 0x01};
    SendRequest(kEcuAddress, kTesterAddress, 0x30, data, 0);
}

void TOBDII::ReleaseRam() {
    const std::uint8_t data[] = {0x71, 0x00};
    SendRequest(kEcuAddress, kTesterAddress, 0x30, data, 0);
    FlagOsvobRam = true;
}

void TOBDII::CaptureRam() {
    std::uint8_t id;
    {
        std::lock_guard<std::mutex> lock(TablesMutex);
        id = RAM.ID;
    }
    CaptureRam(id);
}

void TOBDII::CaptureRam(std::uint8_t id) {
    const std::uint8_t data[] = {0x71, id};
    SendRequest(kEcuAddress, kTesterAddress, 0x30, data, 0);
    FlagZaxvatRAM = true;
}

}  // namespace veltrano
