// What one pass of the learning cycle has to tell its view, gathered under the state lock
// and reported after it.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "learning/learning_engine.h"

namespace veltrano {

struct LearningEngine::Notices {
    bool cellChanged = false;
    bool gridsChanged = false;
    std::optional<std::string> logStatus;
    std::vector<std::string> badCells;
    std::optional<LearningShown> shown;
};

}  // namespace veltrano
