// The simulator's operations for tests and the console: faults, memory, engine, status.
#include <algorithm>
#include <fstream>

#include "sim/ecu_simulator_impl.h"

namespace veltrano {

void EcuSimulator::SetFaults(const EcuFaults& faults) {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    impl_->faults = faults;
    impl_->requestsSinceFaults = 0;
}

EcuFaults EcuSimulator::Faults() const {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    return impl_->faults;
}

void EcuSimulator::SetAnswerDelay(int ms) {
    impl_->answerDelayMs.store(std::max(0, ms));
}

void EcuSimulator::SetWireTiming(bool on) {
    impl_->writer.SetPacing(on);
}

std::vector<std::uint8_t> EcuSimulator::Memory() const {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    return impl_->state.memory;
}

std::vector<std::uint8_t> EcuSimulator::ReadMemory(std::uint16_t address,
                                                   std::size_t length) const {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    const auto& m = impl_->state.memory;
    const std::size_t end = std::min(m.size(), static_cast<std::size_t>(address) + length);
    return {m.begin() + address, m.begin() + static_cast<long>(end)};
}

void EcuSimulator::WriteMemory(std::uint16_t address, const std::vector<std::uint8_t>& bytes) {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    auto& m = impl_->state.memory;
    const std::size_t n = std::min(bytes.size(), m.size() - address);
    std::copy_n(bytes.begin(), n, m.begin() + address);
}

bool EcuSimulator::DumpMemory(const std::string& path, std::string* error) const {
    const std::vector<std::uint8_t> m = Memory();
    const std::string temporary = path + ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(m.data()), static_cast<long>(m.size()));
        if (!out.good()) {
            if (error != nullptr) {
                *error = "cannot write " + temporary;
            }
            return false;
        }
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        if (error != nullptr) {
            *error = "cannot replace " + path;
        }
        return false;
    }
    return true;
}

void EcuSimulator::SetTroubleCodes(const std::vector<std::uint16_t>& codes) {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    impl_->state.troubleCodes = codes;
}

void EcuSimulator::HoldOperatingPoint(const std::optional<OperatingPoint>& point) {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    impl_->engine.Hold(point);
}

void EcuSimulator::SetTrueVeErrorPercent(double percent) {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    impl_->engine.SetVeError(percent);
}

void EcuSimulator::SetCoolant(double celsius) {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    impl_->engine.HoldCoolant(celsius);
}

EcuStatus EcuSimulator::Status() const {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    const EcuState& s = impl_->state;
    EcuStatus status;
    status.lineBaud = s.lineBaud;
    status.communicating = s.communicating;
    status.diagnosticSession = s.diagnosticSession;
    status.oltMode = s.oltMode;
    status.ramCode = s.ramCode;
    status.requests = impl_->requests;
    status.answers = impl_->answers;
    status.badFrames = impl_->collector.Rejected();
    status.misheardBytes = impl_->misheardBytes;
    status.troubleCodes = s.troubleCodes;
    const EngineState engine = impl_->EngineNow();
    status.point = engine.point;
    status.coolant = engine.coolant;
    status.targetAfr = engine.targetAfr;
    status.measuredAfr = engine.measuredAfr;
    return status;
}

double EcuSimulator::MeasuredAfr() const {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    return impl_->EngineNow().measuredAfr;
}

std::vector<std::vector<std::uint8_t>> EcuSimulator::Requests() const {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    return impl_->log;
}

void EcuSimulator::ClearRequests() {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    impl_->log.clear();
}

bool EcuSimulator::WaitForRequests(std::size_t count, std::chrono::milliseconds timeout) const {
    std::unique_lock<std::mutex> lock(impl_->mutex);
    return impl_->requestArrived.wait_for(lock, timeout,
                                          [&] { return impl_->requestsTotal >= count; });
}

}  // namespace veltrano
