// Learning when the ECU's answer starts.
#include "link/answer_timing.h"

#include <gtest/gtest.h>

#include <vector>

namespace veltrano {
namespace {

struct Seen {
    double ms;
    bool bound;
};

TEST(AnswerTiming, PredictsTheEarliestRecentStart) {
    const struct {
        const char* name;
        std::vector<Seen> seen;
        double predicted;
    } cases[] = {
        {"nothing seen", {}, 0},
        {"too few to go by", {{30, false}, {31, false}}, 0},
        {"the earliest of the recent", {{30, false}, {31, false}, {29, false}}, 29},
        {"an old early one is forgotten",
         {{20, false},
          {30, false},
          {30, false},
          {30, false},
          {30, false},
          {30, false},
          {30, false},
          {30, false},
          {31, false}},
         30},
        {"found whole: one step earlier", {{30, false}, {30, false}, {30, false}, {40, true}}, 29},
        {"found whole sooner than predicted",
         {{30, false}, {30, false}, {30, false}, {25, true}},
         24},
        {"a start before the request is not taken", {{30, false}, {30, false}, {-3, false}}, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        AnswerTiming timing;
        for (const Seen& s : c.seen)
            timing.Observe(s.ms, s.bound, 1.0);
        EXPECT_DOUBLE_EQ(timing.Predict(), c.predicted);
    }
}

// A prediction that keeps being found whole walks earlier, faster with each exchange, until
// the answer is caught coming; a caught answer starts the walk afresh.
TEST(AnswerTiming, WholeAnswersWalkThePredictionEarlier) {
    AnswerTiming timing;
    for (int i = 0; i < 3; ++i)
        timing.Observe(30, false, 0.5);
    for (int i = 0; i < 4; ++i)
        timing.Observe(40, true, 0.5);
    EXPECT_DOUBLE_EQ(timing.Predict(), 30 - 0.5 - 1 - 2 - 4);
    timing.Observe(25, false, 0.5);
    timing.Observe(40, true, 0.5);
    EXPECT_DOUBLE_EQ(timing.Predict(), 22.5 - 0.5);
    timing.Forget();
    EXPECT_DOUBLE_EQ(timing.Predict(), 0);
}

}  // namespace
}  // namespace veltrano
