// Construction, the link thread and the hand-over points of TOBDII.
#include "link/obdii.h"

#include "link/link_texts.h"

namespace veltrano {

std::atomic<bool> LinkRunning{false};

namespace {

// Running links of the process; LinkRunning mirrors "at least one".
std::mutex registry_mutex;
int running_links = 0;

void CountRunning(int delta) {
    std::lock_guard<std::mutex> lock(registry_mutex);
    running_links += delta;
    LinkRunning.store(running_links > 0);
}

}  // namespace

TOBDII::TOBDII(const std::string& Port, int BaudRate, int BAudRate2, int /*SendingDelay*/,
               bool /*RTS*/, bool /*DRT*/, int /*BufferSize*/, LinkHooks hooks)
    : messages_(hooks.messages),
      progress_(std::move(hooks.progress)),
      sleep_(std::move(hooks.sleep)),
      receiveOnBytes_(hooks.receiveOnBytes),
      spacing_(sleep_, hooks.receiveOnBytes),
      line_(hooks.line ? std::move(hooks.line) : MakeSerialLine()) {
    FBaudRate = BaudRate;
    if (!line_->Open(Port)) {
        if (messages_) {
            messages_->Warning(link_text::kPortOpenError + Port, link_text::kErrorCaption);
        }
        return;
    }
    if (!line_->SetLine(BAudRate2))
        return;
    lineBaud_ = BAudRate2;
    line_->Purge();
    spacing_.Quiet();
    FWriteLog = true;
    AddLog(line_->LowLatency() ? link_text::kLowLatencyOn : link_text::kLowLatencyOff);
    running_ = true;
    CountRunning(+1);
    thread_ = std::thread([this] { Execute(); });
}

TOBDII::~TOBDII() {
    EndThread();
    line_->Close();
}

void TOBDII::EndThread() {
    const bool was_running = running_.exchange(false);
    Flag.Notify();
    if (thread_.joinable() && thread_.get_id() != std::this_thread::get_id())
        thread_.join();
    if (was_running)
        CountRunning(-1);
}

void TOBDII::Execute() {
    while (running_) {
        if (!Flag) {
            // Idle until polling is enabled or the link stops; nothing to do meanwhile.
            Flag.WaitFor(true, std::chrono::seconds(1), [this] { return !running_.load(); });
            continue;
        }
        spacing_.Owe(1);
        if (running_ && Flag)
            GetECUComplectation();
        spacing_.PayOwed();
    }
}

void TOBDII::Pause(int ms) {
    if (sleep_) {
        sleep_(ms);
    } else if (ms > 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    }
}

void TOBDII::Progress(int intake, int max) {
    if (progress_)
        progress_(intake, max);
}

LiveRecord TOBDII::Live() const {
    std::lock_guard<std::mutex> lock(live_mutex_);
    return live_;
}

bool TOBDII::WaitForNewRecord(std::chrono::milliseconds timeout) {
    return FlagIsNew.WaitFor(true, timeout);
}

std::atomic<bool>& TOBDII::FlagFor(WriteRequest kind) {
    switch (kind) {
        case WriteRequest::PCN:
            return FlagReWritePCN;
        case WriteRequest::Pcn_32x32:
            return FlagRewritePcn_32x32;
        case WriteRequest::UOZ:
            return FlagReWriteUoz;
        case WriteRequest::AFR:
            return FlagReWriteAFR;
        case WriteRequest::BCN:
            return FlagReWriteBCN;
        case WriteRequest::TableOLT:
            return FlagRewraiteTableOLT;
        case WriteRequest::PCN_RAM:
            return FlagRewraitePCN_RAM;
        case WriteRequest::UOZ_DAD_RAM:
            break;
    }
    return FlagRewraiteUOZ_DAD_RAM;
}

namespace {

template <std::size_t N>
bool Fill(std::array<std::uint8_t, N>& buffer, std::span<const std::uint8_t> bytes) {
    if (bytes.size() != N)
        return false;
    std::copy(bytes.begin(), bytes.end(), buffer.begin());
    return true;
}

}  // namespace

bool TOBDII::RequestWrite(WriteRequest kind, std::span<const std::uint8_t> bytes, int address,
                          int ram_id) {
    {
        std::lock_guard<std::mutex> lock(TablesMutex);
        bool ok = false;
        int* table_address = nullptr;
        switch (kind) {
            case WriteRequest::PCN:
            case WriteRequest::PCN_RAM:
                ok = Fill(TablePCN, bytes);
                table_address = &StartAddrPCN;
                break;
            case WriteRequest::Pcn_32x32:
                ok = Fill(TablePcn_32x32, bytes);
                if (ok && address >= 0)
                    StartAddrPcn_32x32 = static_cast<std::uint16_t>(address);
                break;
            case WriteRequest::UOZ:
            case WriteRequest::UOZ_DAD_RAM:
                ok = Fill(TableUOZ, bytes);
                table_address = &StartAddrUOZ;
                break;
            case WriteRequest::AFR:
                ok = Fill(TableAFR, bytes);
                table_address = &StartAddrAFR;
                break;
            case WriteRequest::BCN:
                ok = Fill(TableBCN, bytes);
                table_address = &StartAddrBCN;
                break;
            case WriteRequest::TableOLT:
                ok = address >= 0;
                if (ok) {
                    TableOLT.assign(bytes.begin(), bytes.end());
                    StartAddrTableOLT = static_cast<std::uint16_t>(address);
                }
                break;
        }
        if (!ok)
            return false;
        if (table_address && address >= 0)
            *table_address = address;
        const bool ram = kind == WriteRequest::PCN_RAM || kind == WriteRequest::UOZ_DAD_RAM;
        if (ram && ram_id >= 0)
            RAM.ID = static_cast<std::uint8_t>(ram_id);
    }
    FlagFor(kind) = true;
    return true;
}

}  // namespace veltrano
