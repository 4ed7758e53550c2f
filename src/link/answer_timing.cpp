#include "link/answer_timing.h"

#include <algorithm>

namespace veltrano {

double AnswerTiming::Predict() const {
    if (count_ < kNeeded)
        return 0;
    return std::max(0.0, *std::min_element(recent_.begin(), recent_.begin() + count_));
}

void AnswerTiming::Observe(double ms, bool bound, double stepMs) {
    if (ms < 0)
        return;
    if (bound) {
        const double predicted = Predict();
        const double step = stepMs * static_cast<double>(1 << std::min(boundsInARow_, 10));
        ms = (predicted > 0 ? std::min(ms, predicted) : ms) - step;
        ++boundsInARow_;
    } else {
        boundsInARow_ = 0;
    }
    recent_[next_] = ms;
    next_ = (next_ + 1) % kKept;
    count_ = std::min(count_ + 1, kKept);
}

void AnswerTiming::Forget() {
    count_ = 0;
    next_ = 0;
    boundsInARow_ = 0;
}

}  // namespace veltrano
