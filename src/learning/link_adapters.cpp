#include "learning/link_adapters.h"

namespace veltrano {

bool ObdiiLearningLink::Running() const {
    return link_.Running();
}
bool ObdiiLearningLink::IsNew() const {
    return link_.IsNew();
}
void ObdiiLearningLink::ClearNew() {
    link_.SetIsNew(false);
}
bool ObdiiLearningLink::WaitForNew(std::chrono::milliseconds timeout) {
    return link_.WaitForNewRecord(timeout);
}
LiveRecord ObdiiLearningLink::Live() const {
    return link_.Live();
}

void ObdiiLearningLink::EnterOltMode(const TableAddresses& a) {
    link_.WithTables([&](TOBDII& l) {
        l.StartAddrAFR = a.StartAddrAFR;
        l.StartAddrUOZ = a.StartAddrUOZ;
        l.StartAddrPCN = a.StartAddrPCN;
        l.StartAddrBCN = a.StartAddrBCN;
    });
    link_.FlagOLT = true;
}

bool ObdiiLearningLink::OltMode() const {
    return link_.FlagOLT.load();
}
bool ObdiiLearningLink::SwitchedToRam() const {
    return link_.FlagSwitchToRam.load();
}
void ObdiiLearningLink::SetRequestDelay(int ms) {
    link_.SleepTimeWrite = ms;
}
int ObdiiLearningLink::SendingDelay() const {
    return link_.sysSendingDelay.load();
}

void ObdiiLearningLink::WithTables(const std::function<void(LinkTables&)>& fn) {
    link_.WithTables([&](TOBDII& l) {
        LinkTables t;
        t.TablePCN = l.TablePCN;
        t.TableBCN = l.TableBCN;
        t.TableUOZ = l.TableUOZ;
        t.TableAFR = l.TableAFR;
        t.TablePcn_32x32 = l.TablePcn_32x32;
        t.TableTzar = l.TableTzar;
        t.TableOLT = l.TableOLT;
        t.TableFirmwareOlt = l.TableFirmwareOlt;
        t.StartAddrPCN = l.StartAddrPCN;
        t.StartAddrBCN = l.StartAddrBCN;
        t.StartAddrUOZ = l.StartAddrUOZ;
        t.StartAddrAFR = l.StartAddrAFR;
        t.StartAddrTableOLT = l.StartAddrTableOLT;
        t.StartAddrPcn_32x32 = l.StartAddrPcn_32x32;
        t.StartAddrTZar = l.StartAddrTZar;
        t.RamId = l.RAM.ID;
        fn(t);
        l.TablePCN = t.TablePCN;
        l.TableBCN = t.TableBCN;
        l.TableUOZ = t.TableUOZ;
        l.TableAFR = t.TableAFR;
        l.TablePcn_32x32 = t.TablePcn_32x32;
        l.TableTzar = t.TableTzar;
        l.TableOLT = std::move(t.TableOLT);
        l.TableFirmwareOlt = std::move(t.TableFirmwareOlt);
        l.StartAddrPCN = t.StartAddrPCN;
        l.StartAddrBCN = t.StartAddrBCN;
        l.StartAddrUOZ = t.StartAddrUOZ;
        l.StartAddrAFR = t.StartAddrAFR;
        l.StartAddrTableOLT = t.StartAddrTableOLT;
        l.StartAddrPcn_32x32 = t.StartAddrPcn_32x32;
        l.StartAddrTZar = t.StartAddrTZar;
        l.RAM.ID = t.RamId;
    });
}

void ObdiiLearningLink::Raise(LinkRequest request) {
    switch (request) {
        case LinkRequest::PCN:
            link_.FlagReWritePCN = true;
            break;
        case LinkRequest::UOZ:
            link_.FlagReWriteUoz = true;
            break;
        case LinkRequest::AFR:
            link_.FlagReWriteAFR = true;
            break;
        case LinkRequest::BCN:
            link_.FlagReWriteBCN = true;
            break;
        case LinkRequest::TableOLT:
            link_.FlagRewraiteTableOLT = true;
            break;
        case LinkRequest::PCN_RAM:
            link_.FlagRewraitePCN_RAM = true;
            break;
        case LinkRequest::UOZ_DAD_RAM:
            link_.FlagRewraiteUOZ_DAD_RAM = true;
            break;
    }
}

void ObdiiLearningLink::ClearFirmwareRequests() {
    link_.FlagWriteFirmware = false;
}

bool LcLearningLambda::Running() const {
    return reader_ != nullptr && LcRunning.load() && reader_->Running();
}
bool LcLearningLambda::Pending() const {
    return reader_ != nullptr && reader_->lc.load();
}
std::optional<LambdaReading> LcLearningLambda::Take() {
    return reader_ != nullptr ? reader_->TakeReading() : std::nullopt;
}
LambdaReading LcLearningLambda::Reading() const {
    return reader_ != nullptr ? reader_->Reading() : LambdaReading{};
}

}  // namespace veltrano
