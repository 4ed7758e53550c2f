#include "sim/ecu_config.h"

#include <gtest/gtest.h>

#include <cstring>

#include "sim/builtin_image.h"
#include "sim/ecu_tables.h"

namespace veltrano {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Image(std::uint16_t probeAt, const char* name,
            std::initializer_list<std::pair<int, int>> set) {
    Bytes m(0x10000, 0);
    std::memcpy(m.data() + probeAt, name, std::strlen(name));
    for (auto [address, value] : set) {
        m[address] = static_cast<std::uint8_t>(value);
    }
    return m;
}

TEST(EcuConfig, TableAddressesPerVariant) {
    struct Case {
        const char* what;
        Bytes image;
        std::uint16_t pcn, uoz, afr;
        bool pcnByPressure, uozAfrByPressure;
    };
    const Case cases[] = {
        {"J5TRS throttle", Image(0x30, "J5TRS", {}), 0x7CF7, 0x6DC8, 0x6953, false, false},
        {"J5TRS pressure", Image(0x30, "J5TRS", {{0x5F05, 0x04}, {0x5F04, 0x04}}), 0x736D, 0x852F,
         0x76EF, true, true},
        {"J7TRS pcn32", Image(0x30, "J7TRS", {{0x5F05, 0x04}, {0x5F04, 0x02}}), 0x5A00, 0x852F,
         0x76EF, true, false},
        {"J5LS pressure PCN", Image(0x30, "J5LS_", {{0x5F05, 0x04}}), 0x8E2A, 0x6DC8, 0x6953, true,
         false},
        {"J7ES override", Image(0x30, "j7es_", {{0x5F02, 0x03}}), 0x7CF7, 0x6DC8, 0x6953, false,
         false},
        {"J7ES pressure", Image(0x30, "j7esa", {{0x5F02, 0x01}, {0x5F01, 0x02}}), 0x9294, 0x6AC8,
         0x83BA, true, true},
        {"unknown", Image(0x30, "XXXXX", {}), 0x7CF7, 0x6DC8, 0x6953, false, false},
    };
    for (const Case& k : cases) {
        const EcuConfig c = ReadEcuConfig(k.image);
        EXPECT_EQ(c.addrPcn, k.pcn) << k.what;
        EXPECT_EQ(c.addrUoz, k.uoz) << k.what;
        EXPECT_EQ(c.addrAfr, k.afr) << k.what;
        EXPECT_EQ(c.pcnByPressure, k.pcnByPressure) << k.what;
        EXPECT_EQ(c.uozAfrByPressure, k.uozAfrByPressure) << k.what;
    }
}

TEST(EcuConfig, MapSensorAndSpeedFactor) {
    const EcuConfig own = ReadEcuConfig(OwnEcuImage());
    EXPECT_EQ(own.variant, "J7ES");
    EXPECT_EQ(own.rpmFactor, 40);
    EXPECT_DOUBLE_EQ(own.mapSlope, 20.0);
    EXPECT_NEAR(own.mapOffset, 20 / 1024.0 * 5.0, 1e-12);

    const EcuConfig trs = ReadEcuConfig(Image(0x30, "J5TRS", {{0x60D2, 0x10}, {0x60D3, 0x27}}));
    EXPECT_DOUBLE_EQ(trs.mapSlope, 10000 / 500.0);
}

// An axis point of the image (a position whose quantisation value is 16 * i)
// falls exactly on its cell.
TEST(EcuTables, AxisPointsFallOnCells) {
    const Bytes m = OwnEcuImage();
    const EcuConfig c = ReadEcuConfig(m);
    const int position = 77;  // the tenth speed point of the own image
    const Coordinates at = Locate(m, c, {position * 40.0, 29.0, 50.0});
    EXPECT_DOUBLE_EQ(at.speed, 16.0 * 9);
    EXPECT_DOUBLE_EQ(at.throttle, 16.0 * 9);
    EXPECT_EQ(TableValue(m, {c.addrAfr, false}, at), m[c.addrAfr + 9 * 16 + 9]);
}

}  // namespace
}  // namespace veltrano
