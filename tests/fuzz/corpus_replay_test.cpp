// Replays every committed fuzz input through its target, without libFuzzer, so the inputs
// that once found a fault stay tested in the normal suite.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "fuzz_targets.h"

namespace veltrano::fuzz {
namespace {

std::vector<std::uint8_t> ReadAll(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class CorpusReplay : public ::testing::TestWithParam<Target> {};

TEST_P(CorpusReplay, EveryInputRunsClean) {
    const std::filesystem::path dir = std::filesystem::path(VELTRANO_FUZZ_CORPUS) / GetParam().name;
    ASSERT_TRUE(std::filesystem::is_directory(dir)) << dir;
    int inputs = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        if (!entry.is_regular_file())
            continue;
        SCOPED_TRACE(entry.path().filename().string());
        const auto bytes = ReadAll(entry.path());
        EXPECT_EQ(GetParam().run(bytes), 0);
        ++inputs;
    }
    EXPECT_GT(inputs, 0) << "no seed inputs in " << dir;
}

INSTANTIATE_TEST_SUITE_P(Targets, CorpusReplay, ::testing::ValuesIn(kTargets),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace veltrano::fuzz
