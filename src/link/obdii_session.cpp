// Connect, poll cycle, stop and the adapter check.
#include <vector>

#include "link/link_texts.h"
#include "link/obdii.h"

namespace veltrano {

bool TOBDII::ConnectToECU() {
    // A link that is not open, or already polling, is left alone.
    if (!line_->IsOpen() || Flag)
        return false;
    auto startRound = [this] {
        for (int attempt = 0; attempt < 4 && !FCommunication; ++attempt)
            StartCommunication();
        return FCommunication.load();
    };
    if (!startRound()) {
        const auto now = std::chrono::steady_clock::now();
        if (now >= EcuSessionEndsBy)
            return false;
        AddLog(link_text::kWaitingForOldSession);
        std::this_thread::sleep_for(EcuSessionEndsBy - now);
        if (!startRound())
            return false;
    }
    if (!StartDiagnosticSession())
        return false;
    if (!TesterPresent())
        return false;
    return FCommunication && FDiagnosticSession;
}

void TOBDII::GetECUComplectation() {
    if (Flag_outDiag) {
        Flag = false;
        return;
    }
    if (!FlagWriteFirmware && FlagOLT && FlagSwitchToRam)
        WriteFirmwareOltOnce();
    ServeWrites();
    if (!FlagOLT && !Flag_OLT_DAD) {
        ReadLiveData();
    } else {
        ReadLiveDataOLT();
    }
    if (FlagOLT && !FlagSwitchToRam)
        SwitchToRam();
    if (Flag_Clear_Error)
        ClearErrors();
    if (Flag_Read_Error)
        ReadErrors();
}

bool TOBDII::Stop() {
    EndThread();
    if (!line_->IsOpen())
        return false;
    SleepTimeWrite = 100;
    const bool session_closed = StopDiagnosticSession();
    const bool communication_closed = session_closed && StopCommunication();
    line_->Close();
    Flag_outDiag = false;
    return session_closed && communication_closed;
}

void TOBDII::Close() {
    EndThread();
    line_->Close();
    Flag = false;
    Flag_outDiag = false;
}

bool TOBDII::CheckConnection() {
    // The adapter echoes the probe byte; wait for that one byte rather than for none, and
    // pass only when it came back.
    const int previous = SleepCountData.exchange(1);
    const std::uint8_t probe[] = {0x00};
    std::vector<std::uint8_t> received(kReceiveBufferSize, 0);
    int count = 0;
    {
        std::lock_guard<std::mutex> lock(port_mutex_);
        WritePacket(probe);
        ReadPacket(received, count);
    }
    SleepCountData = previous;
    const bool pass = count >= 1 && received[0] == 0x00;
    AddLog(pass ? link_text::kCheckConnectionOk : link_text::kCheckConnectionFailed);
    return pass;
}

}  // namespace veltrano
