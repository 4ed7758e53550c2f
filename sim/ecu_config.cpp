#include "sim/ecu_config.h"

#include <cstring>

namespace veltrano {
namespace {

bool Bit(const std::vector<std::uint8_t>& m, std::uint16_t address, int bit) {
    return ((m[address] >> bit) & 1) != 0;
}

unsigned Word(const std::vector<std::uint8_t>& m, std::uint16_t address) {
    return m[address] + 256u * m[static_cast<std::uint16_t>(address + 1)];
}

bool Probe(const std::vector<std::uint8_t>& m, std::uint16_t address, const char* text) {
    return std::memcmp(m.data() + address, text, 5) == 0;
}

std::string Variant(const std::vector<std::uint8_t>& m) {
    if (Probe(m, 0x0100, "J7SPT") || Probe(m, 0x0100, "J5SPT")) {
        return "SPT";
    }
    if (Probe(m, 0x0030, "j7es_") || Probe(m, 0x0030, "j7esa")) {
        return "J7ES";
    }
    if (Probe(m, 0x0030, "J5TRS")) {
        return "J5TRS";
    }
    if (Probe(m, 0x0030, "J7TRS")) {
        return "J7TRS";
    }
    if (Probe(m, 0x0030, "J5LS_")) {
        return "J5LS";
    }
    if (std::memcmp(m.data() + 0x600A, "7.2\0\0", 5) == 0) {
        return "J7.2";
    }
    return "";
}

void SetMapSensor(EcuConfig& c, const std::vector<std::uint8_t>& m, bool j7es) {
    if (j7es) {
        c.mapSlope = Word(m, 0x6098) / 125.0;
        c.mapOffset = Word(m, 0x609A) / 1024.0 * 5.0;
    } else {
        c.mapSlope = Word(m, 0x60D2) / 500.0;
        c.mapOffset = m[0x60D4] / 256.0 * 5.0;
    }
}

void ReadTrs(EcuConfig& c, const std::vector<std::uint8_t>& m) {
    const bool j7 = c.variant == "J7TRS";
    const bool dad = Bit(m, 0x5F05, 2);
    const bool dadUozAfr = j7 ? Bit(m, 0x5F04, 5) : Bit(m, 0x5F04, 2);
    const std::uint16_t pcn = j7 && Bit(m, 0x5F04, 1) ? 0x5A00 : 0x736D;
    c.addrPcnPressure = pcn;
    c.uozAfrByPressure = dadUozAfr;
    if (dad || (j7 && dadUozAfr)) {
        c.addrPcn = pcn;
        c.addrBcn = 0x726D;
        c.addrUoz = 0x852F;
        if (j7 || dadUozAfr) {
            c.addrAfr = 0x76EF;
        }
    }
}

void ReadJ5ls(EcuConfig& c, const std::vector<std::uint8_t>& m) {
    const bool dad = Bit(m, 0x5F05, 2);
    c.uozAfrByPressure = Bit(m, 0x5F07, 5);
    c.addrPcnPressure = 0x8E2A;
    if (dad || c.uozAfrByPressure) {
        c.addrPcn = 0x8E2A;
    }
    if (c.uozAfrByPressure) {
        c.addrAfr = 0x76EF;
        c.addrUoz = 0x852F;
    }
}

void ReadJ7es(EcuConfig& c, const std::vector<std::uint8_t>& m) {
    const bool dad = Bit(m, 0x5F02, 0) && !Bit(m, 0x5F02, 1);
    c.uozAfrByPressure = Bit(m, 0x5F01, 1);
    c.addrPcnPressure = 0x9294;
    if (dad || c.uozAfrByPressure) {
        c.addrPcn = 0x9294;
    }
    if (c.uozAfrByPressure) {
        c.addrAfr = 0x83BA;
        c.addrUoz = 0x6AC8;
    }
}

int RpmFactor(const std::vector<std::uint8_t>& m) {
    int factor = 0;
    for (std::size_t i = 1; i + 4 < m.size(); ++i) {
        if (m[i] == 0x90 && m[i + 1] == 0x61 && m[i + 2] == 0x3C && m[i + 3] == 0xE5) {
            if (m[i + 4] == 0x54) {
                factor = 30;
            } else if (m[i + 4] == 0x55) {
                factor = 40;
            }
        }
    }
    return factor;
}

}  // namespace

EcuConfig ReadEcuConfig(const std::vector<std::uint8_t>& m) {
    EcuConfig c;
    if (m.size() < 0x10000) {
        return c;
    }
    c.variant = Variant(m);
    const int factor = RpmFactor(m);
    c.rpmFactor = c.variant == "SPT" ? 50 : (factor != 0 ? factor : 40);
    if (c.variant == "J7ES") {
        SetMapSensor(c, m, true);
        ReadJ7es(c, m);
    } else if (c.variant == "J5TRS" || c.variant == "J7TRS") {
        SetMapSensor(c, m, false);
        ReadTrs(c, m);
    } else if (c.variant == "J5LS") {
        SetMapSensor(c, m, false);
        ReadJ5ls(c, m);
    }
    c.pcnByPressure = c.addrPcn == c.addrPcnPressure && c.addrPcn != 0x7CF7;
    if (c.mapSlope <= 0.0) {
        c.mapSlope = 20.0;  // an image without a characteristic still reports a pressure
    }
    c.pressureBase = static_cast<int>(Word(m, 0x5EF2) / 60);
    const unsigned span = m[0x5EF4];
    c.pressureSpan = span == 0 ? 8248.5 : 8248.5 / span;
    return c;
}

}  // namespace veltrano
