// The simulated car at its fastest, behind a header that keeps the simulator's own types out
// of the window's translation units.
#pragma once

#include <memory>
#include <string>

namespace veltrano {

class SimCar {
  public:
    SimCar();
    ~SimCar();
    // The ECU (no wire pacing, answers after answerDelayMs) and an LC-1 controller on two ptys.
    bool Start(int answerDelayMs, std::string* error);
    std::string EcuPath() const;
    std::string LambdaPath() const;

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace veltrano
