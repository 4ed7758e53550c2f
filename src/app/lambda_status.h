// What the status bar's lambda panel says about the wideband controller beyond its readings:
// error packets and silence, which the learning cycle never takes as readings.
#pragma once

#include <chrono>
#include <optional>
#include <string>

#include "lambda/lambda_reading.h"

namespace veltrano {

struct LambdaTrouble {
    std::string text;  // "LC1: Ошибка 9", "LC1: нет данных"
    bool operator==(const LambdaTrouble&) const = default;
};

class LambdaWatch {
  public:
    using Clock = std::chrono::steady_clock;
    // A controller that sends no frame for this long is silent (LC-1 sends every 82 ms,
    // the AEM gauge every 100 ms).
    static constexpr std::chrono::milliseconds kSilence{1500};

    // A new reader starts now, with no frame yet.
    void Start(Clock::time_point now);
    // The reader's last reading and frame count: the trouble to show, or nothing while the
    // controller sends good readings.
    std::optional<LambdaTrouble> Update(const LambdaReading& last, long framesRead,
                                        Clock::time_point now);

  private:
    long frames_ = 0;
    Clock::time_point lastFrameAt_{};
};

}  // namespace veltrano
