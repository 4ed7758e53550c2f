// info: the variant, the layout, the axes and the checksum state of an image.
#include <cstdio>
#include <iostream>
#include <sstream>

#include "cli/cli_commands.h"
#include "cli/cli_support.h"
#include "common/text_forms.h"

namespace veltrano::cli {
namespace {

struct Field {
    std::string key;
    std::string json;  // the value as JSON
    std::string text;  // the value as plain text
};

Field Flag(const std::string& key, bool v) {
    return {key, v ? "true" : "false", v ? "true" : "false"};
}

Field Address(const std::string& key, unsigned v) {
    char hex[8];
    std::snprintf(hex, sizeof hex, "0x%04X", v);
    return {key, std::to_string(v), hex};
}

Field Number(const std::string& key, double v) {
    return {key, GeneralText(v, '.'), GeneralText(v, '.')};
}

template <typename Axis>
Field AxisField(const std::string& key, const Axis& axis) {
    std::string json = "[", text;
    for (std::size_t i = 0; i < axis.size(); ++i) {
        json += (i ? "," : "") + std::to_string(axis[i]);
        text += (i ? " " : "") + std::to_string(axis[i]);
    }
    return {key, json + "]", text};
}

std::vector<Field> Fields(const Calibration& c) {
    const FirmwareLayout& l = c.layout;
    const TFirmware& f = c.firmware;
    const bool hasChecksum = f.FFirmwareData.size() == kMinImageSize;
    const bool ok = TFirmware::ChecksumCorrect(f.FFirmwareData);
    return {
        {"firmwareName", JsonString(l.firmwareName), l.firmwareName},
        {"size", std::to_string(f.FFirmwareData.size()), std::to_string(f.FFirmwareData.size())},
        Flag("FirmwareLoaded", l.FirmwareLoaded),
        Flag("FlagDAD", l.FlagDAD),
        Flag("FlagDadUozAfr", l.FlagDadUozAfr),
        Flag("FlagGBC", l.FlagGBC),
        Flag("FlagPcnGridDad", l.FlagPcnGridDad),
        Flag("FlagPcn32", l.FlagPcn32),
        Flag("FlagPcnDad32x32", l.FlagPcnDad32x32),
        Flag("FlagTRS239", f.FlagTRS239),
        Flag("Flag_DAD_BCN", f.Flag_DAD_BCN),
        Address("StartAddrPCN", l.StartAddrPCN),
        Address("StartAddrBCN", l.StartAddrBCN),
        Address("StartAddrUOZ", l.StartAddrUOZ),
        Address("StartAddrAFR", l.StartAddrAFR),
        Address("StartAddrPcn_32x32", l.StartAddrPcn_32x32),
        Address("startaddrMin1", l.startaddrMin1),
        Address("StartAddrMin2", l.StartAddrMin2),
        Address("StartAddrMax", l.StartAddrMax),
        Address("StartAddrInjStatic", l.StartAddrInjStatic),
        {"InjStaticBytes", std::to_string(l.InjStaticBytes), std::to_string(l.InjStaticBytes)},
        Address("StartAddrMinInjTime", l.StartAddrMinInjTime),
        {"rpmFactor", std::to_string(f.GetQuantValue()), std::to_string(f.GetQuantValue())},
        AxisField("FRPMAxis", f.FRPMAxis),
        AxisField("FThrottleAxis", f.FThrottleAxis),
        AxisField("FDADAxis", f.FDADAxis),
        AxisField("FRPMAxis_32", f.FRPMAxis_32),
        AxisField("FThrottleAxis_32", f.FThrottleAxis_32),
        AxisField("FdadAxis_32", f.FdadAxis_32),
        Number("FdadNaklon", f.FdadNaklon),
        Number("FdadSMeshenie", f.FdadSMeshenie),
        {"checksumOk", hasChecksum ? (ok ? "true" : "false") : "null",
         hasChecksum ? (ok ? "true" : "false") : "n/a (only 65536-byte images carry one)"},
    };
}

}  // namespace

int Info(const Args& args) {
    const Parsed p = ParseArgs(args, {"--json"}, {}, 1);
    if (!p.error.empty())
        return Fail("info: " + p.error);
    Calibration c;
    if (!OpenImage(p.positional[0], c, ','))
        return 1;
    const std::vector<Field> fields = Fields(c);
    std::ostringstream out;
    if (p.flags.count("--json")) {
        out << "{";
        for (std::size_t i = 0; i < fields.size(); ++i) {
            out << (i ? ", " : "") << JsonString(fields[i].key) << ": " << fields[i].json;
        }
        out << "}\n";
    } else {
        for (const Field& f : fields)
            out << f.key << ": " << f.text << '\n';
    }
    std::cout << out.str();
    return 0;
}

}  // namespace veltrano::cli
