// The demo: an ECU and a wideband controller simulated in-process on pseudo-terminals, a
// generated image, and a settings file of its own that points at them.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace veltrano {

class DemoMode {
  public:
    DemoMode();
    // Stops the simulators and removes the demo's folder.
    ~DemoMode();
    // Starts the simulators and writes the demo settings file into `dir`. False with a
    // message when a pseudo-terminal cannot be opened.
    bool Start(const std::string& dir, std::string* error);
    // The realistic engine (exhaust delay, probe lag, a drive with transients) or the
    // friendly default one.
    void SetRealistic(bool on);
    const std::string& SettingsPath() const { return settingsPath_; }
    // The demo image (the one the simulated ECU runs).
    static std::vector<std::uint8_t> Image();
    static bool Available();
    // The demo started last and still alive, if any (the screenshot tour's faults).
    static DemoMode* Current();
    // Faults to show: the ECU stops answering; the wideband controller sends error packets.
    void SetEcuSilent(bool silent);
    void SetLambdaError(bool error);

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
    std::string dir_;  // removed with the demo
    std::string settingsPath_;
};

}  // namespace veltrano
