// How serial ports are named in the settings dialog, with made-up port descriptions.
#include "app/settings/port_names.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace veltrano {
namespace {

namespace fs = std::filesystem;

TEST(PortNames, TextOfOnePort) {
    struct Case {
        PortInfo info;
        std::string text;
    };
    const std::string denied = std::string(" — ") + kPortNoAccess;
    const Case cases[] = {
        {{"/dev/ttyUSB0", "FT232R USB UART", "FTDI", "", false},
         "/dev/ttyUSB0 — FT232R USB UART (FTDI)"},
        {{"/dev/ttyS0", "", "", "", false}, "/dev/ttyS0"},
        {{"/dev/ttyACM0", "", "Arduino", "", false}, "/dev/ttyACM0 — Arduino"},
        {{"/dev/ttyUSB1", "CP2102 USB to UART Bridge Controller", "", "", false},
         "/dev/ttyUSB1 — CP2102 USB to UART Bridge Controller"},
        {{"/dev/ttyUSB0", "FT232R USB UART", "FTDI", "", true},
         "/dev/ttyUSB0 — FT232R USB UART (FTDI)" + denied},
        {{"/dev/ttyS4", "", "", "", true}, "/dev/ttyS4" + denied},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PortText(c.info.device, c.info), c.text);
}

TEST(PortNames, ListOffersTheByIdNameAfterItsDevice) {
    const std::string ftdi = "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0";
    const std::vector<PortInfo> ports = {
        {"/dev/ttyUSB0", "FT232R USB UART", "FTDI", ftdi, true},
        {"/dev/ttyS10", "", "", "", false},
        {"/dev/ttyS9", "", "", "", false},
    };
    const std::vector<PortEntry> entries = PortEntries(ports);
    ASSERT_EQ(entries.size(), 4u);
    EXPECT_EQ(entries[0].path, "/dev/ttyS9");
    EXPECT_EQ(entries[1].path, "/dev/ttyS10");
    EXPECT_EQ(entries[2].path, "/dev/ttyUSB0");
    EXPECT_EQ(entries[2].text,
              "/dev/ttyUSB0 — FT232R USB UART (FTDI) — " + std::string(kPortNoAccess));
    EXPECT_EQ(entries[3].path, ftdi);
    EXPECT_EQ(entries[3].text, ftdi + " — FT232R USB UART (FTDI) — " + std::string(kPortNoAccess));
    EXPECT_TRUE(PortEntries({}).empty());
}

TEST(PortNames, ByIdNameIsTheLinkThatLeadsToTheDevice) {
#ifdef _WIN32
    GTEST_SKIP() << "by-id links are Linux's";
#endif
    const fs::path dir = fs::temp_directory_path() / ("veltrano-by-id-" + std::to_string(getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir / "by-id");
    std::ofstream(dir / "ttyUSB0") << "";
    std::ofstream(dir / "ttyUSB1") << "";
    fs::create_symlink("../ttyUSB1", dir / "by-id" / "usb-Silicon_Labs_CP2102-if00-port0");
    fs::create_symlink("../ttyUSB0", dir / "by-id" / "usb-FTDI_FT232R_A50285BI-if00-port0");
    const std::string by_id = (dir / "by-id").string();
    EXPECT_EQ(ByIdName((dir / "ttyUSB0").string(), by_id),
              (dir / "by-id" / "usb-FTDI_FT232R_A50285BI-if00-port0").string());
    EXPECT_EQ(ByIdName((dir / "ttyUSB1").string(), by_id),
              (dir / "by-id" / "usb-Silicon_Labs_CP2102-if00-port0").string());
    std::ofstream(dir / "ttyS0") << "";
    EXPECT_EQ(ByIdName((dir / "ttyS0").string(), by_id), "");
    EXPECT_EQ(ByIdName((dir / "ttyS0").string(), (dir / "no-such-dir").string()), "");
    EXPECT_EQ(ByIdName((dir / "gone").string(), by_id), "");
    fs::remove_all(dir);
}

}  // namespace
}  // namespace veltrano
