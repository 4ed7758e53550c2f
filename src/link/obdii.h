// The ECU link: one object per connection, owning the K-line port and the link thread that
// polls the ECU's live data and serves table write requests.
//
// Hand-overs between threads:
//  - Flags are atomics. `Flag` and `FlagIsNew` are WakeFlags, so waiting threads sleep.
//  - The live record is decoded into a copy and published whole; `Live()` returns a
//    consistent copy, then `FlagIsNew` is raised.
//  - Table buffers, their addresses and `RAM.ID` are guarded by `TablesMutex`. A requester
//    fills a buffer under the lock (`WithTables` or `RequestWrite`), then raises the flag.
//    The link takes a copy under the same lock and clears the flag before it sends, so a
//    request raised during a write is served by the next cycle and never lost.
#pragma once

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <thread>
#include <vector>

#include "common/messages.h"
#include "link/answer_timing.h"
#include "link/live_record.h"
#include "link/locked_lines.h"
#include "link/request_spacing.h"
#include "link/serial_line.h"
#include "link/wake_flag.h"

namespace veltrano {

// Unit-level run flag: true while the thread of any link object runs. Each link has its own
// run condition (`Running()`), so a second link object never ends the first one's thread.
extern std::atomic<bool> LinkRunning;

// What the link needs from its owner; every member is optional.
struct LinkHooks {
    Messages* messages = nullptr;  // the port warning; silent when null
    // Block write progress (Reload_status); called on the link thread.
    std::function<void(int intake, int max)> progress;
    std::unique_ptr<SerialLine> line;   // replaces the platform port
    std::function<void(int ms)> sleep;  // replaces real sleeping
    // The receive wait sleeps until bytes arrive and the pause counts from the end of the last
    // receive; false: the old timing, polls every 1 ms and whole sleeps (for comparison).
    bool receiveOnBytes = true;
};

// The table write requests, in the order a poll cycle serves them.
enum class WriteRequest { PCN, Pcn_32x32, UOZ, AFR, BCN, TableOLT, PCN_RAM, UOZ_DAD_RAM };

class TOBDII {
  public:
    // Opens the port at BAudRate2 and starts the idle link thread. `SendingDelay`, `RTS`,
    // `DRT` and `BufferSize` are accepted for the callers' sake and have no effect.
    TOBDII(const std::string& Port, int BaudRate, int BAudRate2, int SendingDelay, bool RTS,
           bool DRT, int BufferSize, LinkHooks hooks = {});
    // Ends the link thread, then closes the port.
    ~TOBDII();
    TOBDII(const TOBDII&) = delete;
    TOBDII& operator=(const TOBDII&) = delete;

    // True while this object's thread runs (port configured and not stopped).
    bool Running() const { return running_.load(); }

    // --- Session (GUI thread) ---
    // False at once, touching nothing, when the port is not open or the link is polling.
    // When no StartCommunication is answered and a session left open by a local close may
    // still hold the ECU at its session speed (until `EcuSessionEndsBy`), waits that out and
    // tries once more.
    bool ConnectToECU();
    // How long an ECU keeps a session nobody talks in (KWP2000 P3max, with a margin).
    static constexpr std::chrono::milliseconds kEcuSessionTimeout{5500};
    std::chrono::steady_clock::time_point EcuSessionEndsBy{};
    bool Stop();
    // Ends the thread and closes the port without the closing exchange: for a link whose
    // ECU no longer answers.
    void Close();
    bool CheckConnection();
    // One poll cycle; the run loop calls it while `Flag` is set.
    void GetECUComplectation();

    // --- Services ---
    void StartCommunication();
    bool StartDiagnosticSession();
    bool TesterPresent();
    bool StopDiagnosticSession();
    bool StopCommunication();
    void ReadLiveData();
    void ReadLiveDataOLT();
    void ClearErrors();
    void ReadErrors();
    void SwitchToRam();
    void ReleaseRam();
    void CaptureRam();  // with RAM.ID
    void CaptureRam(std::uint8_t id);
    // True when the ECU confirmed every block. A table aimed at address 0 or running past
    // 0xFFFF is refused unsent (traced, false).
    bool WriteTableFirmware(std::span<const std::uint8_t, 256> table, int start);
    bool WriTeDataOLT(std::span<const std::uint8_t> data, int start);
    void WriteTablePCN_RAM();
    void WriteTableUOZ_DAD_RAM();

    // --- Exchange ---
    void SendRequest(std::uint8_t target, std::uint8_t source, std::uint8_t service,
                     std::span<const std::uint8_t> data, std::uint8_t LengthByte);
    void SendService(std::uint8_t target, std::uint8_t source, std::uint8_t service);
    void WritePacket(std::span<const std::uint8_t> packet);
    // Waits for exactly SleepCountData bytes, at most 301 ms, reads at most buf.size().
    // sysSendingDelay and the trace take the wait's length in whole ms + 10.
    void ReadPacket(std::span<std::uint8_t> buf, int& Count);
    void ParseAnswer(std::span<const std::uint8_t> answer);
    void AddLog(const std::string& text);

    // --- Live data record ---
    LiveRecord Live() const;
    // Waits until FlagIsNew is set (true) or the timeout passes (false).
    bool WaitForNewRecord(std::chrono::milliseconds timeout);
    bool IsNew() const { return FlagIsNew.load(); }
    void SetIsNew(bool v) { FlagIsNew = v; }
    WakeFlag FlagIsNew;
    std::atomic<double> FdadNaklon{0.0};
    std::atomic<double> FdadSMeshenie{0.0};

    // --- Requests (any thread) ---
    // Runs fn(*this) with TablesMutex held, for requesters that edit buffers in place.
    template <class F>
    auto WithTables(F&& fn) {
        std::lock_guard<std::mutex> lock(TablesMutex);
        return fn(*this);
    }
    // Copies `bytes` into the request's buffer (256 bytes; 1024 for Pcn_32x32; any length for
    // TableOLT, which needs `address`), sets `address` (the table's StartAddr field) and, for
    // the RAM requests, RAM.ID := ram_id, then raises the flag. False on a wrong size.
    bool RequestWrite(WriteRequest kind, std::span<const std::uint8_t> bytes, int address = -1,
                      int ram_id = -1);
    std::atomic<bool>& FlagFor(WriteRequest kind);
    // A table write counts as delivered when the ECU confirmed every block of it. One that
    // was not is raised again for the next cycles; after kWriteAttempts in a row, or when
    // the link stops, it is given up: WriteFailed(kind) turns true (until a write of that
    // kind is delivered) and WriteFailures counts it.
    bool WriteFailed(WriteRequest kind) const;
    std::atomic<long> WriteFailures{0};
    // The once-per-session OLT block was given up the same way.
    std::atomic<bool> FirmwareOltFailed{false};
    static constexpr int kWriteAttempts = 3;

    mutable std::mutex TablesMutex;  // guards every member down to OLT_TAB.TablePCN_OLT
    std::array<std::uint8_t, 256> TablePCN{};
    std::array<std::uint8_t, 1024> TablePcn_32x32{};
    std::array<std::uint8_t, 256> TableBCN{};
    std::array<std::uint8_t, 256> TableUOZ{};
    std::array<std::uint8_t, 256> TableAFR{};
    std::array<std::uint8_t, 39> TableTzar{};
    std::vector<std::uint8_t> TableOLT;
    std::vector<std::uint8_t> TableFirmwareOlt;
    int StartAddrPCN = 0;
    int StartAddrBCN = 0;
    int StartAddrUOZ = 0;
    int StartAddrAFR = 0;
    std::uint16_t StartAddrPcn_32x32 = 0;
    std::uint16_t StartAddrTableOLT = 0;
    std::uint16_t StartAddrTZar = 0;
    struct RAM_TABLE {
        std::array<std::uint8_t, 256> TABLE_PCN{};
        std::uint8_t ID = 0;
    } RAM;
    struct OLT_TABLE {
        std::array<std::uint8_t, 256> TablePCN_OLT{};
        std::atomic<std::int32_t> COEFFCORR_OLT{0};  // atomic: written by the decoder
    } OLT_TAB;

    std::atomic<bool> FlagReWritePCN{false};
    std::atomic<bool> FlagRewritePcn_32x32{false};
    std::atomic<bool> FlagReWriteUoz{false};
    std::atomic<bool> FlagReWriteAFR{false};
    std::atomic<bool> FlagReWriteBCN{false};
    std::atomic<bool> FlagRewraiteTableOLT{false};
    std::atomic<bool> FlagRewraitePCN_RAM{false};
    std::atomic<bool> FlagRewraiteUOZ_DAD_RAM{false};
    std::atomic<bool> FlagOsvobRam{false};
    std::atomic<bool> FlagZaxvatRAM{false};

    // --- Session state ---
    WakeFlag Flag;  // polling enabled
    std::atomic<bool> FlagOLT{false};
    std::atomic<bool> Flag_OLT_DAD{false};
    std::atomic<bool> FlagSwitchToRam{false};
    std::atomic<bool> FlagWriteFirmware{false};
    std::atomic<bool> Flag_outDiag{false};
    std::atomic<bool> FCommunication{false};
    std::atomic<bool> FDiagnosticSession{false};
    std::atomic<bool> StartDiagSession{false};
    std::atomic<bool> TesterPres{false};
    std::atomic<bool> Flag_Clear_Error{false};
    std::atomic<bool> Flag_Read_Error{false};
    LockedLines OBD_ERROR;                           // trouble codes of the last read, "P0130" form
    std::atomic<std::uint64_t> TroubleCodeReads{0};  // answered reads; counted after OBD_ERROR

    // --- Serial line state ---
    int FBaudRate = 0;
    std::atomic<int> SleepTimeWrite{100};
    std::atomic<int> SleepCountData{0};
    std::atomic<int> sysSendingDelay{0};
    std::atomic<int> ErrorRead{0};
    std::atomic<bool> FWriteLog{false};
    LockedLines FLogList{kTraceLimit};  // the link trace, newest last, capped

    static constexpr std::size_t kReceiveBufferSize = 2048;
    static constexpr int kReceiveBudgetMs = 301;  // the longest receive wait
    static constexpr int kShortAnswerMs = 200;    // a wait longer than this that ends short counts
    static constexpr std::size_t kTraceLimit = 20000;  // lines; the oldest go first

  private:
    bool ChangeLineSpeed(int baud);
    void Execute();
    void ServeWrites();
    void ServeRamWrite(std::atomic<bool>& flag, bool pcn);
    bool WriteRamWindow(std::span<const std::uint8_t, 256> table);
    bool WriteMemory(int address, std::span<const std::uint8_t> bytes);
    bool TableWriteAllowed(int address, std::size_t size);
    void Served(WriteRequest kind, bool delivered);
    void DecodeLive(std::span<const std::uint8_t> payload);
    void ConfirmWrite(std::span<const std::uint8_t> payload);
    template <class Copy>
    bool TakeRequest(std::atomic<bool>& flag, Copy copy);
    void WriteFirmwareOltOnce();
    bool Abandoning() const;
    void Pause(int ms);
    void Progress(int intake, int max);
    void EndThread();

    Messages* messages_ = nullptr;
    std::function<void(int, int)> progress_;
    std::function<void(int)> sleep_;
    bool receiveOnBytes_ = true;
    RequestSpacing spacing_;
    std::size_t lastWriteBytes_ = 0;  // the request on the line, echoed first; port lock
    bool linePaced_ = false;          // the last bytes came at wire pace, not in bursts; port lock
    int requestService_ = -1;         // the service on the line (-1: a bare probe); port lock
    std::map<int, AnswerTiming> answerTiming_;  // by service, at the present speed; port lock
    std::unique_ptr<SerialLine> line_;
    std::mutex port_mutex_;         // one exchange at a time
    std::atomic<int> lineBaud_{0};  // the speed last set on the line
    mutable std::mutex live_mutex_;
    LiveRecord live_;
    std::atomic<bool> running_{false};
    std::atomic<int> confirmedWrite_{-1};             // address of the last block the ECU confirmed
    std::array<std::atomic<bool>, 8> writeFailed_{};  // by WriteRequest
    std::array<int, 8> writeAttempts_{};              // link thread only
    int oltAttempts_ = 0;                             // link thread only
    std::atomic<bool> lastBlockConfirmed_{true};
    std::atomic<bool> lastWriteRefused_{false};
    std::atomic<int> writeAnswerBytes_{0};  // length of the last write confirmation; 0: none yet
    std::thread thread_;
};

}  // namespace veltrano
