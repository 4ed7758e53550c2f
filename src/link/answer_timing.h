// When the other side's answer starts after a request, learned from the last exchanges, so the
// receive wait can rest through the echo, the pause and the answer in one sleep.
#pragma once

#include <array>

namespace veltrano {

class AnswerTiming {
  public:
    // Milliseconds from the request's end of writing to the answer's first byte; 0 while too
    // few answers were seen. The earliest of the recent ones: a wait that wakes early only
    // looks once more, one that wakes late delays the exchange.
    double Predict() const;
    // An answer's first byte came `ms` after the request. A bound (the answer was found
    // whole) says only that it came no later: the next prediction is then `stepMs` earlier,
    // twice as far with each bound in a row, so an answer that now comes much sooner is found
    // out within a few exchanges.
    void Observe(double ms, bool bound, double stepMs);
    void Forget();

  private:
    static constexpr int kKept = 8;
    static constexpr int kNeeded = 3;
    std::array<double, kKept> recent_{};
    int count_ = 0;
    int next_ = 0;
    int boundsInARow_ = 0;
};

}  // namespace veltrano
