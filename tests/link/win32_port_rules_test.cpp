// The Win32 serial backend's plain rules: port names, speeds handed to the driver, time limits.
#include "link/win32_port_rules.h"

#include <gtest/gtest.h>

namespace veltrano::win32_port {
namespace {

TEST(Win32PortRules, ComNamesAndTheirDevicePaths) {
    struct Case {
        std::string name;
        std::optional<int> number;
        std::string path;
    };
    const Case cases[] = {
        {"COM1", 1, "\\\\.\\COM1"},
        {"com9", 9, "\\\\.\\COM9"},
        {"COM10", 10, "\\\\.\\COM10"},
        {"\\\\.\\COM10", 10, "\\\\.\\COM10"},
        {"COM256", 256, "\\\\.\\COM256"},
        {"COM257", std::nullopt, "\\\\.\\COM257"},
        {"COM0", std::nullopt, "\\\\.\\COM0"},
        {"COM01", std::nullopt, "\\\\.\\COM01"},
        {"COM1x", std::nullopt, "\\\\.\\COM1x"},
        {"CNCA0", std::nullopt, "\\\\.\\CNCA0"},
        {"\\\\.\\CNCA0", std::nullopt, "\\\\.\\CNCA0"},
        {"", std::nullopt, ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ComNumber(c.name), c.number) << c.name;
        EXPECT_EQ(DevicePath(c.name), c.path) << c.name;
    }
    const auto all = AllComNames();
    ASSERT_EQ(all.size(), 256u);
    EXPECT_EQ(all.front(), "COM1");
    EXPECT_EQ(all.back(), "COM256");
}

TEST(Win32PortRules, SpeedCodes) {
    for (int baud : {9600, 10400, 19200, 38400, 57600})
        EXPECT_EQ(SpeedCode(baud), static_cast<std::uint32_t>(baud)) << baud;
    EXPECT_EQ(SpeedCode(0), std::nullopt);
    EXPECT_EQ(SpeedCode(-10400), std::nullopt);
    EXPECT_EQ(SpeedCode(2000000), std::nullopt);
}

TEST(Win32PortRules, ReadsReturnAtOnceWritesGetTheirLineTime) {
    struct Case {
        int baud;
        std::uint32_t per_byte_ms;
    };
    for (const Case c : {Case{10400, 2}, Case{9600, 3}, Case{57600, 1}, Case{0, 3}}) {
        const Timeouts t = LineTimeouts(c.baud);
        EXPECT_EQ(t.readInterval, 0xFFFFFFFFu);
        EXPECT_EQ(t.readTotalMultiplier, 0u);
        EXPECT_EQ(t.readTotalConstant, 0u);
        EXPECT_EQ(t.writeTotalMultiplier, c.per_byte_ms) << c.baud;
        EXPECT_EQ(t.writeTotalConstant, 1000u);
    }
}

}  // namespace
}  // namespace veltrano::win32_port
