#include "bench/soak/soak_connection.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <thread>

#include "common/code_page.h"
#include "learning/table_transfer.h"
#include "log/log_format.h"
#include "log/log_texts.h"

namespace veltrano::soak {
namespace {

using namespace std::chrono_literals;

constexpr int kRamWindow = 0xFE00;

const char* KindName(WriteRequest kind) {
    switch (kind) {
        case WriteRequest::PCN:
            return "PCN";
        case WriteRequest::PCN_RAM:
            return "PCN (RAM)";
        case WriteRequest::UOZ:
            return "UOZ";
        case WriteRequest::AFR:
            return "AFR";
        case WriteRequest::BCN:
            return "BCN";
        default:
            return "other";
    }
}

double Ms(SoakConnection::Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

long NowMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               SoakConnection::Clock::now().time_since_epoch())
        .count();
}

// What one block of a block write may take on a healthy line: the request pause, the
// frames and the answer delay.
constexpr int kBlockMsWireOff = 250;
constexpr int kBlockMsWireOn = 600;
constexpr int kOltBlockAddress = 0x5F00;

}  // namespace

SoakConnection::SoakConnection(SoakEnv& env, int index, WriteTarget target)
    : env_(env), target_(target), stamp_("(soak_" + std::to_string(index) + ")") {}

SoakConnection::~SoakConnection() {
    if (link_ || learning_ || lc_)
        Disconnect(StopBounds{60000, 60000, 60000});
}

bool SoakConnection::Connect() {
    LinkHooks hooks;
    hooks.messages = &quiet_;
    hooks.progress = [this](int intake, int max) {
        progress_.remaining = intake > 0 ? max - intake + 1 : 0;
        progress_.lastMs = NowMs();
    };
    const int baud = 10400;
    link_ = std::make_unique<TOBDII>(env_.sim.EcuPort(), baud, baud, 0, false, false, 30,
                                     std::move(hooks));
    if (!link_->Running()) {
        env_.report.Finding("the link could not open the simulator's port");
        return false;
    }
    env_.watchdog.Arm("connect", 30s);
    const bool connected = link_->ConnectToECU();
    env_.watchdog.Disarm();
    if (!connected)
        return false;
    if (target_ == WriteTarget::Olt)
        link_->FlagOLT = true;
    link_->FdadNaklon = env_.cal.firmware.FdadNaklon;
    link_->FdadSMeshenie = env_.cal.firmware.FdadSMeshenie;
    lc_ = TLcThreat::Create(env_.sim.LambdaPort(), "LC-1/2");
    if (!lc_ || !lc_->Running())
        env_.report.Finding("the wideband reader could not open the simulator's port");
    LearningOptions options = env_.engine.Options();
    options.target = target_;
    env_.engine.SetOptions(options);
    env_.engine.SetEducations(true);
    const ProgramLearningState s = env_.engine.State();
    recordsAtStart_ = recordsAtEnd_ = s.records;
    writesAtStart_ = s.writesRequested;
    auto log = std::make_unique<SessionLog>(env_.logs, stamp_);
    learning_ =
        std::make_unique<LearningConnection>(env_.engine, *link_, lc_.get(), std::move(log));
    LoadLinkTables(env_.cal.firmware, env_.cal.layout, learning_->Link());
    link_->Flag = true;
    return true;
}

bool SoakConnection::Run(Clock::time_point until, FaultInjector& faults) {
    std::uint64_t lastSequence = link_->Live().sequence;
    auto lastRecord = Clock::now();
    std::uniform_real_distribution<double> chance(0, 1);
    while (Clock::now() < until) {
        std::this_thread::sleep_for(50ms);
        faults.Tick(true);
        if (chance(env_.rng) < 0.01)
            RequestTableWrite();
        if (!link_->Flag)
            return false;  // the link gave the ECU up
        const std::uint64_t sequence = link_->Live().sequence;
        if (sequence != lastSequence) {
            lastSequence = sequence;
            lastRecord = Clock::now();
        } else if (Clock::now() - lastRecord > 20s && NowMs() - progress_.lastMs > 20000) {
            env_.report.Finding("no live record nor written block for 20 s while the link polls");
            if (std::getenv("SOAK_TRACE")) {
                const auto lines = link_->FLogList.Items();
                for (std::size_t i = lines.size() > 30 ? lines.size() - 30 : 0; i < lines.size();
                     ++i)
                    std::fprintf(stderr, "%s\n", lines[i].c_str());
            }
            return false;
        }
    }
    return true;
}

bool SoakConnection::Settle() {
    env_.engine.SetEducations(false);
    const auto deadline = Clock::now() + 15s;
    std::uint64_t seen = link_->Live().sequence;
    int fresh = 0;
    while (Clock::now() < deadline && link_->Flag) {
        std::this_thread::sleep_for(20ms);
        const std::uint64_t sequence = link_->Live().sequence;
        if (sequence == seen)
            continue;
        seen = sequence;
        const bool raised = link_->WithTables([](TOBDII& l) {
            return l.FlagReWritePCN || l.FlagReWriteUoz || l.FlagReWriteAFR || l.FlagReWriteBCN ||
                   l.FlagRewraitePCN_RAM;
        });
        fresh = raised ? 0 : fresh + 1;
        if (fresh >= 3)
            return true;
    }
    return false;
}

std::vector<std::uint8_t> SoakConnection::NudgedTable(std::uint16_t address) {
    std::vector<std::uint8_t> table = env_.sim.ReadMemory(address, 256);
    std::uniform_int_distribution<int> cell(0, 255), step(0, 1);
    std::uint8_t& b = table[cell(env_.rng)];
    b = static_cast<std::uint8_t>(step(env_.rng) ? (b < 255 ? b + 1 : b - 1) : (b > 0 ? b - 1 : 1));
    return table;
}

void SoakConnection::RequestTableWrite() {
    const FirmwareLayout& l = env_.cal.layout;
    const std::pair<WriteRequest, std::uint16_t> tables[] = {
        {WriteRequest::UOZ, l.StartAddrUOZ},
        {WriteRequest::AFR, l.StartAddrAFR},
        {WriteRequest::BCN, l.StartAddrBCN},
    };
    const auto& [kind, address] = tables[std::uniform_int_distribution<int>(0, 2)(env_.rng)];
    if (address == 0 || target_ == WriteTarget::Olt)
        return;  // in OLT mode the learning cycle hands the link its own table addresses
    if (link_->RequestWrite(kind, NudgedTable(address), address))
        requested_[kind] = true;
}

// The once-per-session OLT block (OLT target): in the ECU, failed visibly or not yet due.
void SoakConnection::CheckOltBlock(bool settled) {
    std::vector<std::uint8_t> block;
    bool sent = false, failed = false;
    link_->WithTables([&](TOBDII& l) {
        block = l.TableFirmwareOlt;
        sent = l.FlagWriteFirmware;
        failed = l.FirmwareOltFailed;
    });
    if (!sent || block.empty()) {
        if (settled && link_->FlagSwitchToRam)
            env_.report.Finding("the OLT block was not written after the switch to RAM");
        return;
    }
    ++env_.report.writesChecked;
    const auto memory = env_.sim.ReadMemory(kOltBlockAddress, block.size());
    if (memory == block)
        return;
    if (failed) {
        ++env_.report.writesFailedVisibly;
        return;
    }
    env_.report.Finding("the OLT block is neither in the ECU's memory nor reported as failed");
}

void SoakConnection::CheckWrites(bool settled) {
    if (target_ == WriteTarget::Olt)
        CheckOltBlock(settled);
    if (env_.engine.State().writesRequested > writesAtStart_)
        requested_[target_ == WriteTarget::Olt ? WriteRequest::PCN : WriteRequest::PCN_RAM] = true;
    for (const auto& [kind, unused] : requested_) {
        (void)unused;
        std::array<std::uint8_t, 256> table{};
        int address = 0;
        bool raised = false;
        bool failed = false;
        link_->WithTables([&](TOBDII& l) {
            switch (kind) {
                case WriteRequest::UOZ:
                    table = l.TableUOZ, address = l.StartAddrUOZ;
                    break;
                case WriteRequest::AFR:
                    table = l.TableAFR, address = l.StartAddrAFR;
                    break;
                case WriteRequest::BCN:
                    table = l.TableBCN, address = l.StartAddrBCN;
                    break;
                case WriteRequest::PCN_RAM:
                    table = l.TablePCN, address = kRamWindow;
                    break;
                default:
                    table = l.TablePCN, address = l.StartAddrPCN;
                    break;
            }
            raised = l.FlagFor(kind);
            failed = l.WriteFailed(kind);
        });
        const auto memory = env_.sim.ReadMemory(static_cast<std::uint16_t>(address), 256);
        ++env_.report.writesChecked;
        if (std::equal(table.begin(), table.end(), memory.begin(), memory.end()))
            continue;
        if (failed || (raised && !settled)) {
            ++env_.report.writesFailedVisibly;
            continue;
        }
        env_.report.Finding(std::string("table write ") + KindName(kind) +
                            (raised ? " still raised after the link settled"
                                    : " neither in the ECU's memory nor reported as failed"));
    }
}

void SoakConnection::Timed(const char* what, int bound_ms, const std::function<void()>& step) {
    env_.watchdog.Arm(what, std::chrono::milliseconds(std::max(bound_ms * 10, 30000)));
    const auto t0 = Clock::now();
    step();
    const double ms = Ms(Clock::now() - t0);
    env_.watchdog.Disarm();
    env_.report.StopTime(what, ms);
    if (ms > bound_ms)
        env_.report.Finding(std::string(what) + " took " + std::to_string(static_cast<long>(ms)) +
                            " ms (bound " + std::to_string(bound_ms) + " ms)");
}

void SoakConnection::Disconnect(const StopBounds& bounds) {
    if (learning_) {
        Timed("learning end", bounds.learning, [this] {
            learning_->Terminate();
            learning_.reset();
        });
    }
    recordsAtEnd_ = env_.engine.State().records;
    if (link_) {
        const int block = env_.wireTiming ? kBlockMsWireOn : kBlockMsWireOff;
        const int remaining = progress_.remaining;
        if (remaining > 0)
            env_.report.Fault("stop during a block write");
        Timed("link stop", bounds.link + remaining * block, [this] { link_->Stop(); });
        link_.reset();
    }
    if (lc_) {
        Timed("lambda stop", bounds.lambda, [this] {
            lc_->ExitReadPort = true;
            lc_->stop();
        });
        lc_.reset();
    }
}

void SoakConnection::CheckRows() {
    const long records = recordsAtEnd_ - recordsAtStart_;
    const auto path = env_.logs / (stamp_ + ".csv");
    std::ifstream in(path, std::ios::binary);
    const std::string text{std::istreambuf_iterator<char>(in), {}};
    if (text.empty()) {
        if (records > 0)
            env_.report.Finding(stamp_ + ": no log for " + std::to_string(records) + " records");
        return;
    }
    long rows = -1;  // the header comes first
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t end = text.find("\r\n", at);
        if (end == std::string::npos) {
            env_.report.Finding(stamp_ + ": the log ends in a torn line");
            break;
        }
        const std::string_view line(text.data() + at, end - at);
        if (rows < 0 && line != Utf8ToCp1251(kLogHeader))
            env_.report.Finding(stamp_ + ": the log does not start with the header");
        if (SplitFields(line).size() != 71)
            env_.report.Finding(stamp_ + ": line " + std::to_string(rows + 2) + " has " +
                                std::to_string(SplitFields(line).size()) + " fields");
        ++rows;
        at = end + 2;
    }
    env_.report.rowsChecked += std::max(0L, rows);
    if (rows != records)
        env_.report.Finding(stamp_ + ": " + std::to_string(rows) + " log rows for " +
                            std::to_string(records) + " records processed");
}

}  // namespace veltrano::soak
