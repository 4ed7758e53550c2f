#include "app/lambda_status.h"

#include "app/app_texts.h"
#include "lambda/lambda_texts.h"

namespace veltrano {

void LambdaWatch::Start(Clock::time_point now) {
    frames_ = 0;
    lastFrameAt_ = now;
}

std::optional<LambdaTrouble> LambdaWatch::Update(const LambdaReading& last, long framesRead,
                                                 Clock::time_point now) {
    if (framesRead != frames_) {
        frames_ = framesRead;
        lastFrameAt_ = now;
    }
    if (now - lastFrameAt_ > kSilence)
        return LambdaTrouble{app_texts::kLc1NoData};
    const std::string prefix = lambda_texts::kErrorPrefix;
    if (last.Message_LC1.rfind(prefix, 0) == 0)
        return LambdaTrouble{app_texts::kLc1ErrorPrefix + last.Message_LC1.substr(prefix.size())};
    return std::nullopt;
}

}  // namespace veltrano
