// Variant identification and layout derivation.
#include <string_view>

#include "calibration/firmware.h"

namespace veltrano {
namespace {

struct Probe {
    std::uint16_t addr;
    std::string_view expected;  // five characters
    const char* name;
    bool trs239;
};

using namespace std::string_view_literals;
constexpr Probe kProbes[] = {
    {0x0100, "J7SPT"sv, "J7SPT", false},  {0x0100, "J5SPT"sv, "J5SPT", false},
    {0x0030, "j7es_"sv, "J7ES", false},   {0x0030, "j7esa"sv, "J7ES", false},
    {0x0030, "J5TRS"sv, "J5TRS", true},   {0x0030, "J7TRS"sv, "J7TRS", true},
    {0x0030, "J5LS_"sv, "J5LS", false},   {0x600A, "J5.1\0"sv, "J5.1", false},
    {0x600A, "7.2\0\0"sv, "J7.2", false},
};

void SetTableAddresses(FirmwareLayout& l, std::uint16_t afr, std::uint16_t uoz, std::uint16_t pcn,
                       std::uint16_t bcn) {
    l.StartAddrAFR = afr;
    l.StartAddrUOZ = uoz;
    l.StartAddrPCN = pcn;
    l.StartAddrBCN = bcn;
}

void NonMapSet(FirmwareLayout& l) {
    SetTableAddresses(l, 0x6953, 0x6DC8, 0x7CF7, 0x75EF);
}

void MapAxisAddresses(FirmwareLayout& l) {
    l.startaddrMin1 = 0x5EF2;
    l.StartAddrMin2 = 0x5EF3;
    l.StartAddrMax = 0x5EF4;
}

void LayoutJ5LS(TFirmware& fw, FirmwareLayout& l) {
    if (fw.Bit(0x5F05, 2)) {
        l.FlagDAD = true;
        l.FlagPcnGridDad = true;
        l.ShowPcnTrtTab = true;
        l.ShowLearnTrtOption = true;
        fw.NaklonDAD(0x60D2, 0x60D4);
        SetTableAddresses(l, 0x6953, 0x6DC8, 0x8E2A, 0x75EF);
        MapAxisAddresses(l);
    } else {
        l.FlagDAD = false;
        l.FlagPcnGridDad = false;
        NonMapSet(l);
    }
    l.FlagDadUozAfr = fw.Bit(0x5F07, 5);
    if (l.FlagDadUozAfr) {
        SetTableAddresses(l, 0x76EF, 0x852F, 0x8E2A, 0x75EF);
    }
}

void LayoutJ7ES(TFirmware& fw, FirmwareLayout& l) {
    fw.NaklonDAD_J7ES(0x6098, 0x609A);
    if (fw.Bit(0x5F02, 0)) {
        l.FlagDAD = true;
        l.ShowLearnTrtOption = true;
        if (fw.Bit(0x5F02, 4)) {
            l.FlagPcnDad32x32 = true;
            l.StartAddrPcn_32x32 = kAddrPcnDad32;
        }
        SetTableAddresses(l, 0x6953, 0x6DC8, 0x9294, 0x75EF);
        MapAxisAddresses(l);
        l.FlagPcnGridDad = true;
    } else {
        l.FlagDAD = false;
        l.FlagPcnGridDad = false;
        NonMapSet(l);
    }
    if (fw.Bit(0x5F02, 1)) {
        l.FlagDAD = false;
        l.FlagPcnGridDad = false;
        NonMapSet(l);
    }
    l.FlagDadUozAfr = fw.Bit(0x5F01, 1);
    if (l.FlagDadUozAfr) {
        SetTableAddresses(l, 0x83BA, 0x6AC8, 0x9294, 0x75EF);
    }
}

void LayoutJ5TRS(TFirmware& fw, FirmwareLayout& l) {
    l.StartAddrMinInjTime = 0x5FA8;
    l.FlagPcn32 = fw.Bit(0x5F04, 1);
    fw.NaklonDAD(0x60D2, 0x60D4);
    if (fw.Bit(0x5F05, 2)) {
        l.FlagDAD = true;
        fw.Flag_DAD_BCN = true;
        l.FlagPcnGridDad = true;
        l.ShowPcnTrtTab = true;
        l.ShowLearnTrtOption = true;
        MapAxisAddresses(l);
        SetTableAddresses(l, 0x6953, 0x6DC8, 0x736D, 0x75EF);
    } else {
        l.FlagDAD = false;
        NonMapSet(l);
    }
    l.FlagDadUozAfr = fw.Bit(0x5F04, 2);
    if (l.FlagDAD) {
        if (l.FlagDadUozAfr)
            l.StartAddrAFR = 0x76EF;
        l.StartAddrUOZ = 0x852F;
        l.StartAddrPCN = 0x736D;
        l.StartAddrBCN = 0x726D;
    }
}

void LayoutJ7TRS(TFirmware& fw, FirmwareLayout& l) {
    fw.NaklonDAD(0x60D2, 0x60D4);
    l.FlagPcn32 = fw.Bit(0x5F04, 1);
    const std::uint16_t pcn = l.FlagPcn32 ? 0x5A00 : 0x736D;
    if (fw.Bit(0x5F05, 2)) {
        l.FlagDAD = true;
        MapAxisAddresses(l);
        SetTableAddresses(l, 0x76EF, 0x852F, pcn, 0x726D);
    } else {
        l.FlagDAD = false;
        NonMapSet(l);
    }
    l.FlagDadUozAfr = fw.Bit(0x5F04, 5);
    if (l.FlagDadUozAfr) {
        SetTableAddresses(l, 0x76EF, 0x852F, pcn, 0x726D);
    }
}

}  // namespace

void IdentifyFirmware(TFirmware& firmware, FirmwareLayout& layout) {
    for (const Probe& probe : kProbes) {
        if (firmware.FirmNameLoad(probe.addr) != probe.expected)
            continue;
        layout.firmwareName = probe.name;
        if (probe.trs239)
            firmware.FlagTRS239 = true;
        return;
    }
}

void LoadFirmwareLayout(TFirmware& firmware, FirmwareLayout& layout) {
    const std::string& name = layout.firmwareName;
    if (name == "J7SPT") {
        layout.FlagDAD = firmware.Bit(0x5F57, 1);
        layout.FlagDadUozAfr = firmware.Bit(0x5F59, 0);
    } else if (name == "J5SPT") {
        layout.FlagDAD = firmware.Bit(0x6051, 1);
        layout.FlagDadUozAfr = firmware.Bit(0x6052, 0);
    } else if (name == "J5LS") {
        LayoutJ5LS(firmware, layout);
    } else if (name == "J7ES") {
        LayoutJ7ES(firmware, layout);
    } else if (name == "J5TRS") {
        LayoutJ5TRS(firmware, layout);
    } else if (name == "J7TRS") {
        LayoutJ7TRS(firmware, layout);
    } else if (name == "J7.2") {
        NonMapSet(layout);
        layout.FlagGBC = true;
    }
}

}  // namespace veltrano
