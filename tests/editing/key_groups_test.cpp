#include "editing/key_groups.h"

#include <gtest/gtest.h>

namespace veltrano {
namespace {

TEST(KeyGroups, LatinAndRussianTwinsShareAGroup) {
    const struct {
        char32_t key;
        KeyGroup group;
    } cases[] = {
        {U'+', KeyGroup::kPlus},         {U'=', KeyGroup::kPlus},
        {U'a', KeyGroup::kPlus},         {U'ф', KeyGroup::kPlus},
        {U'-', KeyGroup::kMinus},        {U'_', KeyGroup::kMinus},
        {U'd', KeyGroup::kMinus},        {U'в', KeyGroup::kMinus},
        {U'I', KeyGroup::kInterpolateX}, {U'i', KeyGroup::kInterpolateX},
        {U'Ш', KeyGroup::kInterpolateX}, {U'ш', KeyGroup::kInterpolateX},
        {U'P', KeyGroup::kInterpolateY}, {U'p', KeyGroup::kInterpolateY},
        {U'З', KeyGroup::kInterpolateY}, {U'з', KeyGroup::kInterpolateY},
        {U'A', KeyGroup::kOther},        {U'D', KeyGroup::kOther},
        {U'Ф', KeyGroup::kOther},        {U'x', KeyGroup::kOther},
        {U'\r', KeyGroup::kOther},       {U'л', KeyGroup::kOther},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(KeyGroupOf(c.key), c.group) << static_cast<unsigned>(c.key);
    }
}

}  // namespace
}  // namespace veltrano
