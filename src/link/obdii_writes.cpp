// Table writes into ECU memory with the memory write service, in blocks of at most 64 bytes.
#include <algorithm>
#include <cstdio>
#include <string>

#include "link/framing.h"
#include "link/link_texts.h"
#include "link/obdii.h"

namespace veltrano {

namespace {
constexpr int kBlockSize = 64;
constexpr int kRamWindow = 0xFE00;
constexpr int kOltBlockAddress = 0x5F00;
constexpr int kNotConfirmed = -1;
constexpr int kConfirmedWithoutAddress = -2;
}  // namespace

// A positive answer that names an address (its last two payload bytes) confirms the block at
// that address; a bare one (fewer than two payload bytes) confirms the block just sent.
void TOBDII::ConfirmWrite(std::span<const std::uint8_t> payload) {
    const std::size_t n = payload.size();
    confirmedWrite_ = n >= 2 ? payload[n - 2] * 256 + payload[n - 1] : kConfirmedWithoutAddress;
}

bool TOBDII::WriteFailed(WriteRequest kind) const {
    return writeFailed_[static_cast<std::size_t>(kind)].load();
}

bool TOBDII::WriteMemory(int address, std::span<const std::uint8_t> bytes) {
    std::vector<std::uint8_t> data = {0x00, static_cast<std::uint8_t>((address >> 8) & 0xFF),
                                      static_cast<std::uint8_t>(address & 0xFF),
                                      static_cast<std::uint8_t>(bytes.size())};
    data.insert(data.end(), bytes.begin(), bytes.end());
    confirmedWrite_ = kNotConfirmed;
    SendRequest(kEcuAddress, kTesterAddress, 0x3D, data,
                static_cast<std::uint8_t>(bytes.size() + 5));
    const int confirmed = confirmedWrite_;
    lastBlockConfirmed_ = confirmed == (address & 0xFFFF) || confirmed == kConfirmedWithoutAddress;
    return lastBlockConfirmed_;
}

// A table write aimed at address 0 (a table whose address is not known) or running past the
// 64 KiB the addresses name would land in the ECU's code: refused, whoever asks.
bool TOBDII::TableWriteAllowed(int address, std::size_t size) {
    const int low = address & 0xFFFF;
    const bool allowed = low != 0 && low + size <= 0x10000;
    lastWriteRefused_ = !allowed;
    if (!allowed) {
        char where[40];
        std::snprintf(where, sizeof where, "%04X, %zu bytes", low, size);
        AddLog(link_text::kWriteRefused + std::string(where));
    }
    return allowed;
}

bool TOBDII::WriteTableFirmware(std::span<const std::uint8_t, 256> table, int start) {
    if (!TableWriteAllowed(start, table.size()))
        return false;
    bool all = true;
    for (int k = 0; k < 4; ++k) {
        Pause(1);
        all = WriteMemory(start + kBlockSize * k, table.subspan(kBlockSize * k, kBlockSize)) && all;
    }
    return all;
}

bool TOBDII::Abandoning() const {
    // A write the owner is stopping lands nothing more once the ECU no longer answers or
    // stopped confirming blocks; one the ECU takes block by block is finished.
    return !running_ && (Flag_outDiag || !lastBlockConfirmed_);
}

bool TOBDII::WriTeDataOLT(std::span<const std::uint8_t> data, int start) {
    const int length = static_cast<int>(data.size());
    const int blocks = length / kBlockSize + (length % kBlockSize > 0 ? 1 : 0);
    if (blocks == 0)
        return true;  // nothing to send and no progress to report
    if (!TableWriteAllowed(start, data.size()))
        return false;
    int address = start;
    std::size_t at = 0;
    bool all = true;
    for (int i = 1; i <= blocks; ++i) {
        if (Abandoning()) {
            all = false;
            break;
        }
        Progress(i, blocks);
        const int size = std::min<int>(kBlockSize, length - static_cast<int>(at));
        all = WriteMemory(address, data.subspan(at, size)) && all;
        address += size;
        at += size;
        Pause(1);
    }
    Progress(0, blocks);
    return all;
}

bool TOBDII::WriteRamWindow(std::span<const std::uint8_t, 256> table) {
    bool all = true;
    for (int k = 0; k < 4; ++k) {
        all = WriteMemory(kRamWindow + kBlockSize * k, table.subspan(kBlockSize * k, kBlockSize)) &&
              all;
    }
    return all;
}

void TOBDII::WriteTablePCN_RAM() {
    std::array<std::uint8_t, 256> table;
    {
        std::lock_guard<std::mutex> lock(TablesMutex);
        table = TablePCN;
    }
    WriteRamWindow(table);
}

void TOBDII::WriteTableUOZ_DAD_RAM() {
    std::array<std::uint8_t, 256> table;
    {
        std::lock_guard<std::mutex> lock(TablesMutex);
        table = TableUOZ;
    }
    WriteRamWindow(table);
}

// Takes the buffer of a raised request (copy() runs under the buffers' lock) and clears the
// flag with it, so a request raised while the copy is being sent is served by the next cycle.
template <class Copy>
bool TOBDII::TakeRequest(std::atomic<bool>& flag, Copy copy) {
    if (!flag)
        return false;
    std::lock_guard<std::mutex> lock(TablesMutex);
    if (!flag.exchange(false))
        return false;
    copy();
    return true;
}

// After a write that was not confirmed, raises its request again (the buffer holds the
// table, or a newer one) until the attempts are used up or the link stops.
void TOBDII::Served(WriteRequest kind, bool delivered) {
    const auto i = static_cast<std::size_t>(kind);
    if (delivered) {
        writeAttempts_[i] = 0;
        writeFailed_[i] = false;
        return;
    }
    if (!lastWriteRefused_ && ++writeAttempts_[i] < kWriteAttempts && running_) {
        FlagFor(kind) = true;
        return;
    }
    writeAttempts_[i] = 0;
    writeFailed_[i] = true;
    ++WriteFailures;
    AddLog(link_text::kWriteFailed);
}

// The substitution code is taken with the table: a request raised for the other table while
// this one is on the wire must not change the code this write's capture sends.
void TOBDII::ServeRamWrite(std::atomic<bool>& flag, bool pcn) {
    std::array<std::uint8_t, 256> table;
    std::uint8_t id = 0;
    if (!TakeRequest(flag, [&] { table = pcn ? TablePCN : TableUOZ, id = RAM.ID; }))
        return;
    if (!FlagOsvobRam)
        ReleaseRam();
    const bool delivered = WriteRamWindow(table);
    if (!FlagZaxvatRAM)
        CaptureRam(id);
    Served(pcn ? WriteRequest::PCN_RAM : WriteRequest::UOZ_DAD_RAM, delivered);
}

void TOBDII::ServeWrites() {
    std::array<std::uint8_t, 256> table;
    std::array<std::uint8_t, 1024> table32;
    std::vector<std::uint8_t> block;
    int at = 0;
    if (TakeRequest(FlagReWritePCN, [&] { table = TablePCN, at = StartAddrPCN; })) {
        Served(WriteRequest::PCN, WriTeDataOLT(table, at));
    }
    if (TakeRequest(FlagRewritePcn_32x32,
                    [&] { table32 = TablePcn_32x32, at = StartAddrPcn_32x32; })) {
        Served(WriteRequest::Pcn_32x32, WriTeDataOLT(table32, at));
    }
    if (TakeRequest(FlagReWriteUoz, [&] { table = TableUOZ, at = StartAddrUOZ; })) {
        Served(WriteRequest::UOZ, WriteTableFirmware(table, at));
    }
    if (TakeRequest(FlagReWriteAFR, [&] { table = TableAFR, at = StartAddrAFR; })) {
        Served(WriteRequest::AFR, WriteTableFirmware(table, at));
    }
    if (TakeRequest(FlagReWriteBCN, [&] { table = TableBCN, at = StartAddrBCN; })) {
        Served(WriteRequest::BCN, WriteTableFirmware(table, at));
    }
    if (TakeRequest(FlagRewraiteTableOLT, [&] { block = TableOLT, at = StartAddrTableOLT; })) {
        Served(WriteRequest::TableOLT, WriTeDataOLT(block, at));
    }
    ServeRamWrite(FlagRewraitePCN_RAM, true);
    ServeRamWrite(FlagRewraiteUOZ_DAD_RAM, false);
}

void TOBDII::WriteFirmwareOltOnce() {
    std::vector<std::uint8_t> block;
    {
        std::lock_guard<std::mutex> lock(TablesMutex);
        block = TableFirmwareOlt;
    }
    // Not confirmed in full: the next cycles send the block again, up to kWriteAttempts.
    const bool delivered = WriTeDataOLT(block, kOltBlockAddress);
    if (!delivered && ++oltAttempts_ < kWriteAttempts && running_)
        return;
    oltAttempts_ = 0;
    FirmwareOltFailed = !delivered;
    if (!delivered) {
        ++WriteFailures;
        AddLog(link_text::kWriteFailed);
    }
    FlagWriteFirmware = true;
}

}  // namespace veltrano
