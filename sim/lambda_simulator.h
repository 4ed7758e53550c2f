// The wideband controller on a second pseudo-terminal: LC-1 packets every 81.92 ms at
// 19200 baud, or AEM gauge lines every 100 ms at 9600 baud.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace veltrano {

enum class LambdaKind { Lc1, Aem };

struct LambdaFaults {
    // Junk bytes after a packet (never 0xB2 nor CR); the reader must then drop that packet,
    // as its closing header byte is missing.
    bool garbage = false;
    bool errorPackets = false;  // LC-1 function 6 with errorCode instead of a reading
    int errorCode = 9;
    bool warmupPackets = false;  // LC-1 function 4 instead of a reading
    bool truncated = false;      // frames cut short
    bool silence = false;        // nothing at all
    // The faults (garbage, error, warm-up, truncated) hit one packet in this many; 1: every one.
    int period = 1;
};

struct LambdaSimOptions {
    LambdaKind kind = LambdaKind::Lc1;
    bool wireTiming = true;
    int multiplier = 147;               // LC-1 AFR multiplier field (stoichiometric x 10)
    std::function<double()> afrSource;  // measured mixture; empty: 14.7
    unsigned seed = 1;
};

class LambdaSimulator {
  public:
    explicit LambdaSimulator(LambdaSimOptions options = {});
    ~LambdaSimulator();  // Stop()
    LambdaSimulator(const LambdaSimulator&) = delete;
    LambdaSimulator& operator=(const LambdaSimulator&) = delete;

    bool Start(std::string* error = nullptr);
    void Stop();
    std::string DevicePath() const;

    void SetFaults(const LambdaFaults& faults);
    // A fixed AFR overrides the source (nullopt: back to the source).
    void SetFixedAfr(std::optional<double> afr);
    long FramesSent() const;

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace veltrano
