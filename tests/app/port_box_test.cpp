// The settings dialog's port list on made-up ports: refreshed when it opens, the chosen path
// kept, by-id names offered and stored as chosen.
#include "app/port_box.h"

#include <gtest/gtest.h>

#include <QApplication>

#include "tests/app/window_fixture.h"

namespace veltrano {
namespace {

const char kFtdiById[] = "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0";

TEST(PortBox, ListIsReadAgainWhenItOpensAndTheChoiceStays) {
    App();
    std::vector<PortInfo> ports = {{"/dev/ttyS0", "", "", "", false}};
    PortBox box({"/dev/demo0"}, nullptr, [&] { return ports; });
    ASSERT_EQ(box.count(), 2);
    EXPECT_EQ(box.itemText(0), "/dev/ttyS0");
    EXPECT_EQ(box.itemText(1), "/dev/demo0");
    box.SetPath("/dev/ttyS0");

    ports.push_back({"/dev/ttyUSB0", "FT232R USB UART", "FTDI", kFtdiById, false});
    box.showPopup();
    box.hidePopup();
    ASSERT_EQ(box.count(), 4);
    EXPECT_EQ(box.itemText(1), QString("/dev/ttyUSB0 — FT232R USB UART (FTDI)"));
    EXPECT_EQ(box.itemText(2), QString(kFtdiById) + " — FT232R USB UART (FTDI)");
    EXPECT_EQ(box.Path(), "/dev/ttyS0");

    box.setCurrentIndex(2);
    EXPECT_EQ(box.Path(), kFtdiById);  // the stable name is what gets stored
    ports.erase(ports.begin());
    box.Refresh();
    EXPECT_EQ(box.Path(), kFtdiById);
}

TEST(PortBox, ConfiguredPathsThatExistAreOfferedOthersFallBackToTheLast) {
    App();
    PortBox box({}, nullptr, [] {
        return std::vector<PortInfo>{{"/dev/ttyUSB0", "FT232R USB UART", "FTDI", "", false}};
    });
    box.SetPath("/dev/null");  // present, though no serial port lists it
    EXPECT_EQ(box.Path(), "/dev/null");
    box.Refresh();
    EXPECT_EQ(box.Path(), "/dev/null");
    box.SetPath("/dev/veltrano-unplugged");
    EXPECT_EQ(box.Path(), "/dev/null");
    EXPECT_EQ(box.count(), 2);
}

}  // namespace
}  // namespace veltrano
