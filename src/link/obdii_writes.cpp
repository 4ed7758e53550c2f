// Table writes into ECU memory with the memory write service, in blocks of at most 64 bytes.
#include <algorithm>

#include "link/framing.h"
#include "link/obdii.h"

namespace veltrano {

namespace {
constexpr int kBlockSize = 64;
constexpr int kRamWindow = 0xFE00;
constexpr int kOltBlockAddress = 0x5F00;
}  // namespace

void TOBDII::WriteMemory(int address, std::span<const std::uint8_t> bytes) {
    std::vector<std::uint8_t> data = {0x00, static_cast<std::uint8_t>((address >> 8) & 0xFF),
                                      static_cast<std::uint8_t>(address & 0xFF),
                                      static_cast<std::uint8_t>(bytes.size())};
    data.insert(data.end(), bytes.begin(), bytes.end());
    SendRequest(kEcuAddress, kTesterAddress, 0x3D, data,
                static_cast<std::uint8_t>(bytes.size() + 5));
}

void TOBDII::WriteTableFirmware(std::span<const std::uint8_t, 256> table, int start) {
    for (int k = 0; k < 4; ++k) {
        Pause(1);
        WriteMemory(start + kBlockSize * k, table.subspan(kBlockSize * k, kBlockSize));
    }
}

bool TOBDII::Abandoning() const {
    // A write the owner is stopping while the ECU no longer answers lands nothing more.
    return !running_ && Flag_outDiag;
}

void TOBDII::WriTeDataOLT(std::span<const std::uint8_t> data, int start) {
    const int length = static_cast<int>(data.size());
    const int blocks = length / kBlockSize + (length % kBlockSize > 0 ? 1 : 0);
    if (blocks == 0)
        return;  // nothing to send and no progress to report
    int address = start;
    std::size_t at = 0;
    for (int i = 1; i <= blocks; ++i) {
        if (Abandoning())
            break;
        Progress(i, blocks);
        const int size = std::min<int>(kBlockSize, length - static_cast<int>(at));
        WriteMemory(address, data.subspan(at, size));
        address += size;
        at += size;
        Pause(1);
    }
    Progress(0, blocks);
}

void TOBDII::WriteRamWindow(std::span<const std::uint8_t, 256> table) {
    for (int k = 0; k < 4; ++k) {
        WriteMemory(kRamWindow + kBlockSize * k, table.subspan(kBlockSize * k, kBlockSize));
    }
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

void TOBDII::ServeRamWrite(std::atomic<bool>& flag, bool pcn) {
    std::array<std::uint8_t, 256> table;
    if (!TakeRequest(flag, [&] { table = pcn ? TablePCN : TableUOZ; }))
        return;
    if (!FlagOsvobRam)
        ReleaseRam();
    WriteRamWindow(table);
    if (!FlagZaxvatRAM)
        CaptureRam();
}

void TOBDII::ServeWrites() {
    std::array<std::uint8_t, 256> table;
    std::array<std::uint8_t, 1024> table32;
    std::vector<std::uint8_t> block;
    int at = 0;
    if (TakeRequest(FlagReWritePCN, [&] { table = TablePCN, at = StartAddrPCN; })) {
        WriTeDataOLT(table, at);
    }
    if (TakeRequest(FlagRewritePcn_32x32,
                    [&] { table32 = TablePcn_32x32, at = StartAddrPcn_32x32; })) {
        WriTeDataOLT(table32, at);
    }
    if (TakeRequest(FlagReWriteUoz, [&] { table = TableUOZ, at = StartAddrUOZ; })) {
        WriteTableFirmware(table, at);
    }
    if (TakeRequest(FlagReWriteAFR, [&] { table = TableAFR, at = StartAddrAFR; })) {
        WriteTableFirmware(table, at);
    }
    if (TakeRequest(FlagReWriteBCN, [&] { table = TableBCN, at = StartAddrBCN; })) {
        WriteTableFirmware(table, at);
    }
    if (TakeRequest(FlagRewraiteTableOLT, [&] { block = TableOLT, at = StartAddrTableOLT; })) {
        WriTeDataOLT(block, at);
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
    WriTeDataOLT(block, kOltBlockAddress);
    FlagWriteFirmware = true;
}

}  // namespace veltrano
