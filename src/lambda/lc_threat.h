// The wideband lambda reader: a thread that reads an LC-1 packet stream (19200 baud) or
// AEM gauge lines (9600 baud) from its own serial port and publishes the last reading.
#pragma once

#include <atomic>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "lambda/lambda_reading.h"
#include "link/serial_line.h"

namespace veltrano {

// True while a reader thread is meant to run; one flag for all readers.
extern std::atomic<bool> LcRunning;

struct LcOptions {
    // Folder of "LogAEM.txt"; empty means the working directory.
    std::filesystem::path logDirectory;
    // Serial backend; empty means the platform's (MakeSerialLine).
    std::function<std::unique_ptr<SerialLine>()> makeLine;
};

class TLcThreat {
  public:
    // Opens `Port` ("COM2", "/dev/ttyUSB0") for the sensor type `LamSensor` ("LC-1/2" or
    // "AEM", exact), sets the line and starts the thread; then LcRunning is set. Reports
    // nothing: a reader whose port cannot be prepared never runs. Any other sensor type
    // leaves the port closed and the thread unstarted.
    static std::unique_ptr<TLcThreat> Create(const std::string& Port, const std::string& LamSensor,
                                             LcOptions options = {});
    // True for the sensor types that select a decoder.
    static bool KnownSensor(const std::string& LamSensor);
    // Ends the thread if it still runs (its wait is interrupted) and closes the port.
    ~TLcThreat();
    TLcThreat(const TLcThreat&) = delete;
    TLcThreat& operator=(const TLcThreat&) = delete;

    // Clears LcRunning, waits for the thread body to return, closes the port.
    void stop();

    static constexpr int kLc1Baud = 19200;
    static constexpr int kAemBaud = 9600;

    // The decoder chosen at creation; at most one is true.
    const bool AEM;
    const bool LC_1;

    // A valid reading is pending. The learning cycle may clear it; TakeReading does both
    // at once.
    std::atomic<bool> lc{false};
    // Exit request: every wait of the reader ends with the next byte or within 250 ms, and
    // the reader then only discards its queues until stopped.
    std::atomic<bool> ExitReadPort{false};

    // The last reading, all fields consistent.
    LambdaReading Reading() const;
    // When lc is set: clears it and returns the reading it announced, in one step.
    std::optional<LambdaReading> TakeReading();
    double AFR() const;
    double stochiometric() const;
    std::string Message_LC1() const;

    // The thread was started and has not been stopped or ended.
    bool Running() const;
    bool PortOpen() const;
    // Frames taken so far (LC-1 packets and AEM lines with a right closing byte), counted
    // once the frame's queues are discarded; lets a watchdog notice a silent controller.
    long FramesRead() const { return framesRead_.load(); }
    // "LogAEM.txt" lines that could not be written (the reading was still taken).
    long AemLogFailures() const { return aemLogFailures_.load(); }

  private:
    TLcThreat(const std::string& LamSensor, LcOptions options);
    bool Prepare(const std::string& Port);

    void Execute();
    bool Ending() const;
    void ReadLC1Packet();
    bool WaitLC1(long more_than, int budget_ms);
    void ReadAEMLine();
    bool WaitAEM(long at_least);
    void LogAemFrame(const std::uint8_t* chars);
    bool ReadExactly(std::uint8_t* buf, long n);
    void Publish(const LambdaReading& r);

    LcOptions options_;
    std::unique_ptr<SerialLine> hCOMPort;
    std::thread thread_;
    std::atomic<bool> terminate_{false};
    std::atomic<bool> running_{false};
    std::atomic<long> framesRead_{0};
    std::atomic<long> aemLogFailures_{0};
    mutable std::mutex readingMutex_;
    LambdaReading reading_;         // guarded by readingMutex_; its lc lives in `lc`
    mutable std::mutex lifeMutex_;  // start, stop and destruction
};

}  // namespace veltrano
