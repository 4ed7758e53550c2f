// The simulated car for the window tests, behind a header that keeps the simulator's own
// types out of the window's translation units.
#pragma once

#include <memory>
#include <string>

namespace veltrano {

class SimRig {
  public:
    SimRig();
    ~SimRig();
    // The ECU (no wire pacing, quick answers) and an LC-1 controller on two ptys.
    bool Start(std::string* error);
    std::string EcuPath() const;
    std::string LambdaPath() const;

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace veltrano
