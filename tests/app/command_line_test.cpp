// The window program's command line.
#include "app/command_line.h"

#include <gtest/gtest.h>

namespace veltrano {
namespace {

TEST(WindowCommandLine, OptionsAndTheImage) {
    struct Case {
        std::vector<std::string> args;
        bool help, version, demo, noDemo;
        std::string screenshots, image;
        bool error;
    };
    const Case cases[] = {
        {{}, false, false, false, false, "", "", false},
        {{"car.bin"}, false, false, false, false, "", "car.bin", false},
        {{"--demo"}, false, false, true, false, "", "", false},
        {{"--no-demo", "/tmp/a b.bin"}, false, false, false, true, "", "/tmp/a b.bin", false},
        {{"--screenshots", "shots"}, false, false, false, false, "shots", "", false},
        {{"--help"}, true, false, false, false, "", "", false},
        {{"-h"}, true, false, false, false, "", "", false},
        {{"--version"}, false, true, false, false, "", "", false},
        {{"--screenshots"}, false, false, false, false, "", "", true},
        {{"--frobnicate"}, false, false, false, false, "", "", true},
        {{"a.bin", "b.bin"}, false, false, false, false, "", "a.bin", true},
    };
    for (const auto& c : cases) {
        const WindowCommandLine l = ParseWindowCommandLine(c.args);
        SCOPED_TRACE(c.args.empty() ? std::string("(none)") : c.args.front());
        EXPECT_EQ(l.help, c.help);
        EXPECT_EQ(l.version, c.version);
        EXPECT_EQ(l.demo, c.demo);
        EXPECT_EQ(l.noDemo, c.noDemo);
        EXPECT_EQ(l.screenshots, c.screenshots);
        EXPECT_EQ(l.image, c.image);
        EXPECT_EQ(!l.error.empty(), c.error) << l.error;
    }
    const WindowCommandLine logs =
        ParseWindowCommandLine({"--log", "a.csv", "--replay", "b.csv", "car.bin"});
    EXPECT_EQ(logs.log, "a.csv");
    EXPECT_EQ(logs.replay, "b.csv");
    EXPECT_EQ(logs.image, "car.bin");
    EXPECT_FALSE(ParseWindowCommandLine({"--replay"}).error.empty());
    for (const char* option :
         {"--demo", "--no-demo", "--screenshots", "--log", "--replay", "--version", "IMAGE"})
        EXPECT_NE(WindowUsage().find(option), std::string::npos) << option;
}

}  // namespace
}  // namespace veltrano
