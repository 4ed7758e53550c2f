// What the learning cycle and the table transfers need from the ECU link and the wideband
// reader. Adapters over TOBDII and TLcThreat implement it for a connection; tests use
// fakes, so no serial port is needed to run the cycle.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "lambda/lambda_reading.h"
#include "link/live_record.h"

namespace veltrano {

// The link's table buffers, addresses and RAM substitution code as one value. A requester
// edits them under the link's buffer guard (LearningLink::WithTables).
struct LinkTables {
    std::array<std::uint8_t, 256> TablePCN{};
    std::array<std::uint8_t, 256> TableBCN{};
    std::array<std::uint8_t, 256> TableUOZ{};
    std::array<std::uint8_t, 256> TableAFR{};
    std::array<std::uint8_t, 1024> TablePcn_32x32{};
    std::array<std::uint8_t, 39> TableTzar{};
    std::vector<std::uint8_t> TableOLT;
    std::vector<std::uint8_t> TableFirmwareOlt;
    int StartAddrPCN = 0;
    int StartAddrBCN = 0;
    int StartAddrUOZ = 0;
    int StartAddrAFR = 0;
    std::uint16_t StartAddrTableOLT = 0;
    std::uint16_t StartAddrPcn_32x32 = 0;
    std::uint16_t StartAddrTZar = 0;
    std::uint8_t RamId = 0;  // RAM.ID, the substitution code of a RAM write
};

// Write requests the learning side raises.
enum class LinkRequest { PCN, UOZ, AFR, BCN, TableOLT, PCN_RAM, UOZ_DAD_RAM };

// The four table addresses OLT mode hands to the link.
struct TableAddresses {
    int StartAddrAFR = 0;
    int StartAddrUOZ = 0;
    int StartAddrPCN = 0;
    int StartAddrBCN = 0;
};

class LearningLink {
  public:
    virtual ~LearningLink() = default;

    // LinkRunning.
    virtual bool Running() const = 0;
    // FlagIsNew.
    virtual bool IsNew() const = 0;
    virtual void ClearNew() = 0;
    // Sleeps until FlagIsNew is set or the timeout passes; true when set.
    virtual bool WaitForNew(std::chrono::milliseconds timeout) = 0;
    // A consistent copy of the live data record.
    virtual LiveRecord Live() const = 0;

    // FlagOLT := true and the four addresses.
    virtual void EnterOltMode(const TableAddresses& addresses) = 0;
    virtual bool OltMode() const = 0;
    // FlagSwitchToRam.
    virtual bool SwitchedToRam() const = 0;
    // SleepTimeWrite := ms.
    virtual void SetRequestDelay(int ms) = 0;
    // sysSendingDelay.
    virtual int SendingDelay() const = 0;

    // Runs fn on the buffers with the link's buffer guard held; changes are kept.
    virtual void WithTables(const std::function<void(LinkTables&)>& fn) = 0;
    // Raises a request flag; call after the buffer has been filled.
    virtual void Raise(LinkRequest request) = 0;
    // FlagReWriteTzar := false and FlagWriteFirmware := false.
    virtual void ClearFirmwareRequests() = 0;
};

class LearningLambda {
  public:
    virtual ~LearningLambda() = default;
    // LcRunning.
    virtual bool Running() const = 0;
    // lc: a reading is pending.
    virtual bool Pending() const = 0;
    // Takes the pending reading and clears lc in one step.
    virtual std::optional<LambdaReading> Take() = 0;
    // The last reading, pending or not.
    virtual LambdaReading Reading() const = 0;
};

}  // namespace veltrano
