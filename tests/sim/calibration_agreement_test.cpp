// The simulated ECU and the tool read the same demo images alike: the same table addresses,
// the same pressure characteristic, and every axis point of the tool on its own cell.
#include <gtest/gtest.h>

#include "calibration/demo_image.h"
#include "calibration/firmware.h"
#include "common/messages.h"
#include "sim/ecu_config.h"
#include "sim/ecu_tables.h"

namespace veltrano {
namespace {

struct Loaded {
    TFirmware firmware;
    FirmwareLayout layout;
};

Loaded Load(const std::vector<std::uint8_t>& image) {
    Loaded l;
    SilentMessages quiet;
    EXPECT_TRUE(l.firmware.LoadFirmwareBytes(image, quiet));
    IdentifyFirmware(l.firmware, l.layout);
    LoadFirmwareLayout(l.firmware, l.layout);
    l.firmware.GetRPMAxis();
    l.firmware.GetThrottleAxis();
    return l;
}

std::vector<DemoImageOptions> Cases() {
    std::vector<DemoImageOptions> cases;
    for (const char* variant : {"J5TRS", "J7TRS", "J5LS", "J7ES"}) {
        for (bool dad : {false, true}) {
            DemoImageOptions o = DefaultDemoOptions();
            o.variant = variant;
            o.dad = dad;
            o.dadUozAfr = dad;
            cases.push_back(o);
        }
    }
    return cases;
}

TEST(CalibrationAgreement, SameTableAddressesAndPressureCharacteristic) {
    for (const DemoImageOptions& o : Cases()) {
        const std::vector<std::uint8_t> image = MakeDemoImage(o);
        const Loaded l = Load(image);
        const EcuConfig c = ReadEcuConfig(image);
        const std::string what = o.variant + (o.dad ? " pressure" : " throttle");
        EXPECT_EQ(c.addrPcn, l.layout.StartAddrPCN) << what;
        EXPECT_EQ(c.addrUoz, l.layout.StartAddrUOZ) << what;
        EXPECT_EQ(c.addrAfr, l.layout.StartAddrAFR) << what;
        EXPECT_EQ(c.addrBcn, l.layout.StartAddrBCN) << what;
        EXPECT_EQ(c.pcnByPressure, l.layout.FlagDAD) << what;
        if (l.firmware.FdadNaklon > 0.0) {
            EXPECT_DOUBLE_EQ(c.mapSlope, l.firmware.FdadNaklon) << what;
            EXPECT_DOUBLE_EQ(c.mapOffset, l.firmware.FdadSMeshenie) << what;
        }
    }
}

TEST(CalibrationAgreement, AxisPointsOfTheToolFallOnTheirCells) {
    const std::vector<std::uint8_t> image = MakeDemoImage(DefaultDemoOptions());
    const Loaded l = Load(image);
    const EcuConfig c = ReadEcuConfig(image);
    for (int i = 1; i < 16; ++i) {
        OperatingPoint p;
        p.rpm = l.firmware.FRPMAxis[i];
        p.throttle = l.firmware.FThrottleAxis[i];
        const Coordinates at = Locate(image, c, p);
        EXPECT_DOUBLE_EQ(at.speed, 16.0 * i) << "speed point " << i;
        EXPECT_DOUBLE_EQ(at.throttle, 16.0 * i) << "throttle point " << i;
    }
}

// The tool truncates pressure points to whole kPa, so they land within a kPa of their cell.
TEST(CalibrationAgreement, PressurePointsFallNearTheirCells) {
    DemoImageOptions o = DefaultDemoOptions();
    o.dad = true;
    const std::vector<std::uint8_t> image = MakeDemoImage(o);
    Loaded l = Load(image);
    l.firmware.GetDadAxis(l.layout.startaddrMin1, l.layout.StartAddrMin2, l.layout.StartAddrMax);
    const EcuConfig c = ReadEcuConfig(image);
    const double perKpa = 240.0 / c.pressureSpan;
    for (int i = 0; i < 16; ++i) {
        OperatingPoint p;
        p.pressure = l.firmware.FDADAxis[i];
        EXPECT_NEAR(Locate(image, c, p).pressure, 16.0 * i, perKpa) << "pressure point " << i;
    }
}

}  // namespace
}  // namespace veltrano
