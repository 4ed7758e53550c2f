// The car's diagnostic side on a pseudo-terminal: the K-line adapter (echo of every byte)
// and the ECU (KWP2000 answers, 64 KiB memory, live data from an engine model).
// Start() opens the pty; a link connects to DevicePath() like to a real adapter.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "sim/ecu_faults.h"
#include "sim/engine_point.h"

namespace veltrano {

struct EcuSimOptions {
    std::vector<std::uint8_t> image;  // 65 536 bytes or more; empty: the built-in demo image
    bool wireTiming = true;           // pace every byte at the negotiated line speed
    int answerDelayMs = 25;           // pause between the request's last byte and the answer
    int startBaud = 10400;            // speed of the start-communication exchange
    double trueVeErrorPercent = 0.0;  // the engine breathes this much more air than calibrated
    // Per-cell error in percent, index (load row) * 16 + (speed column); replaces the above.
    std::optional<std::array<double, 256>> trueVeSurface;
    std::vector<ScriptStep> script;  // empty: random walk
    unsigned seed = 1;
    double coolantStart = 20.0;  // degrees C at start; warms towards 90
    double warmupSeconds = 180.0;
    double afrNoise = 0.0;  // standard deviation of the measured AFR, in AFR units
    std::vector<std::uint16_t> troubleCodes = {0x0130, 0x0340};
    int sessionTimeoutMs = 5000;   // silence after which the ECU ends the session
    bool bareWriteAnswer = false;  // memory writes confirmed by 7D alone, without the address
    // Answers every service at any time and ignores the tester's line speed (the old,
    // forgiving behaviour). By default the ECU keeps to its session rules and speed.
    bool lenient = false;
};

// What the ECU has been through, for tests and the console.
struct EcuStatus {
    int lineBaud = 10400;
    bool communicating = false;
    bool diagnosticSession = false;
    bool oltMode = false;      // confirmed the switch to its on-line tables
    std::uint8_t ramCode = 0;  // substitution code captured for the RAM window, 0: none
    long requests = 0;         // well-formed requests received
    long answers = 0;          // answers sent
    long badFrames = 0;        // requests dropped for checksum or address
    long misheardBytes = 0;    // bytes sent at another line speed than the ECU's
    std::vector<std::uint16_t> troubleCodes;
    OperatingPoint point;
    double coolant = 0.0;
    double targetAfr = 14.7;    // from the AFR table in use
    double measuredAfr = 14.7;  // what a wideband probe would read
};

class EcuSimulator {
  public:
    explicit EcuSimulator(EcuSimOptions options = {});
    ~EcuSimulator();  // Stop()
    EcuSimulator(const EcuSimulator&) = delete;
    EcuSimulator& operator=(const EcuSimulator&) = delete;

    // Opens the pty and starts answering. False with a message in *error on failure.
    bool Start(std::string* error = nullptr);
    // Ends the thread and closes the pty; safe to call twice.
    void Stop();
    // The slave device to connect to, such as "/dev/pts/7"; empty before Start().
    std::string DevicePath() const;

    void SetFaults(const EcuFaults& faults);
    EcuFaults Faults() const;
    void SetAnswerDelay(int ms);
    void SetWireTiming(bool on);

    // Memory as the ECU holds it, including every write received.
    std::vector<std::uint8_t> Memory() const;
    std::vector<std::uint8_t> ReadMemory(std::uint16_t address, std::size_t length) const;
    void WriteMemory(std::uint16_t address, const std::vector<std::uint8_t>& bytes);
    bool DumpMemory(const std::string& path, std::string* error = nullptr) const;

    void SetTroubleCodes(const std::vector<std::uint16_t>& codes);
    // Holds the engine at a point (nullopt: back to the script or random walk).
    void HoldOperatingPoint(const std::optional<OperatingPoint>& point);
    void SetTrueVeErrorPercent(double percent);
    void SetCoolant(double celsius);  // and keeps it there

    EcuStatus Status() const;
    // The measured mixture now; the wideband simulator reads it.
    double MeasuredAfr() const;

    // The well-formed request frames received, checksum included, in order (at least the
    // last 25 000; older ones are forgotten in a long run).
    std::vector<std::vector<std::uint8_t>> Requests() const;
    void ClearRequests();
    // Waits until at least `count` requests have been received in all.
    bool WaitForRequests(std::size_t count, std::chrono::milliseconds timeout) const;

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace veltrano
