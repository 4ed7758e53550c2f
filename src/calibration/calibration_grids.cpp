#include "calibration/calibration_grids.h"

#include <tuple>

#include "calibration/calibration_texts.h"
#include "calibration/table_catalogue.h"
#include "common/text_forms.h"

namespace veltrano {
namespace {

constexpr std::uint16_t kAddrIdleAfr = 0x87E4;
constexpr std::uint16_t kAddrIdleValve = 0x6FE4;
constexpr std::uint16_t kAddrIdleRpm = 0x6F56;
constexpr std::uint16_t kAddrInjDynamic = 0x71D8;
constexpr std::uint16_t kAddrLaunch = 0x605B;
constexpr std::uint16_t kAddrCylinder = 0x60AB;

template <std::size_t N>
void LabelRow(TextGrid& grid, const std::array<std::int32_t, N>& axis) {
    for (std::size_t i = 1; i <= N; ++i)
        grid.SetCell(i, 0, IntegerText(axis[i - 1]));
}

template <std::size_t N>
void LabelColumn(TextGrid& grid, const std::array<std::int32_t, N>& axis) {
    for (std::size_t i = 1; i <= N; ++i)
        grid.SetCell(0, i, IntegerText(axis[i - 1]));
}

void FillDataTables(const TFirmware& fw, CalibrationGrids& g, char sep) {
    for (int k = 0; k < 39; ++k) {
        const std::uint8_t afr = fw.Byte(kAddrIdleAfr + k);
        g.RzStringGrid4.SetDecoded(k, 1, FormatMask("##0.0", TFirmware::GetAfrXX(afr), sep), afr);
        const std::uint8_t valve = fw.Byte(kAddrIdleValve + k);
        g.RzStringGrid5.SetDecoded(k, 1, IntegerText(valve), valve);
        const std::uint8_t rpm = fw.Byte(kAddrIdleRpm + k);
        g.RzStringGrid6.SetDecoded(k, 1, IntegerText(rpm * 10), rpm);
    }
    GetINJTIME(fw, g.RzStringGrid1, kAddrInjDynamic, sep);
}

void FillPcnDad32x32(TFirmware& fw, const FirmwareLayout& l, CalibrationGrids& g, char sep) {
    g.ShowPcnDad32x32Tab = true;
    fw.GetDadAxis_x32(l.startaddrMin1, l.StartAddrMin2, l.StartAddrMax);
    GetPcn_32(fw, g.SG_PCN_32x32, kAddrPcnDad32, sep);
    LabelRow(g.SG_PCN_32x32, fw.FRPMAxis_32);
    LabelColumn(g.SG_PCN_32x32, fw.FdadAxis_32);
}

// DATA-tab parameters of TRS images with pressure-indexed ignition and mixture.
void FillTrsParameters(const TFirmware& fw, FirmwareLayout& l, CalibrationGrids& g, char sep) {
    l.StartAddrInjStatic = 0x6057;
    l.InjStaticBytes = 1;
    g.RzStringGrid3.Enabled = true;
    g.RzStringGrid5.Enabled = true;
    g.RzStringGrid8.Enabled = true;
    g.RzStringGrid8.SetCell(0, 0, texts::kCaptionLaunch);
    g.RzStringGrid8.SetCell(1, 0, GeneralText(fw.Byte(kAddrLaunch) * 40.0, sep));
    g.SG_Min_Inj_Time.SetCell(0, 0, texts::kCaptionMinInjTime);
    // "J7TRS" defines no address for this parameter: show nothing rather than byte 0.
    g.SG_Min_Inj_Time.Enabled = l.StartAddrMinInjTime != 0;
    g.SG_Min_Inj_Time.SetCell(
        1, 0,
        l.StartAddrMinInjTime ? GeneralText(fw.Byte(l.StartAddrMinInjTime) / 125.0, sep) : "");
}

using Axis16 = std::array<std::int32_t, 16>;

// Pressure fuelling with throttle ignition and mixture: the open writes no row labels there;
// label the TRS and J5LS grids by what indexes them instead of leaving them empty.
void LabelPressureFuellingOnly(const FirmwareLayout& l, CalibrationGrids& g, const Axis16& dad,
                               const Axis16& trt) {
    const bool trs = l.firmwareName == "J5TRS" || l.firmwareName == "J7TRS";
    if (!trs && l.firmwareName != "J5LS")
        return;
    for (TextGrid* grid : {&g.SG_PCN, &g.SG_RT, &g.RzStringGrid2})
        LabelColumn(*grid, dad);
    LabelColumn(g.SG_BCN, trs ? dad : trt);
    for (TextGrid* grid : {&g.SG_AFR, &g.SG_UOZ})
        LabelColumn(*grid, trt);
}

void LabelPressureIgnition(TFirmware& fw, FirmwareLayout& l, CalibrationGrids& g, char sep) {
    const Axis16& dad = fw.FDADAxis;
    const Axis16& trt = fw.FThrottleAxis;
    const std::string& name = l.firmwareName;
    if (name == "J7ES") {
        for (TextGrid* grid : {&g.SG_AFR, &g.SG_UOZ})
            LabelColumn(*grid, dad);
        LabelColumn(g.SG_BCN, trt);
    } else if (name == "J5TRS" || name == "J7TRS") {
        FillTrsParameters(fw, l, g, sep);
        for (TextGrid* grid :
             {&g.SG_AFR, &g.SG_UOZ, &g.SG_BCN, &g.SG_PCN, &g.RzStringGrid2, &g.SG_RT}) {
            LabelColumn(*grid, dad);
        }
    } else if (name == "J5LS") {
        l.StartAddrInjStatic = 0x6057;
        l.InjStaticBytes = 1;
        g.RzStringGrid5.Enabled = true;
        for (TextGrid* grid : {&g.SG_AFR, &g.SG_UOZ})
            LabelColumn(*grid, dad);
        LabelColumn(g.SG_BCN, trt);
        for (TextGrid* grid : {&g.SG_PCN, &g.SG_RT, &g.RzStringGrid2})
            LabelColumn(*grid, dad);
    }
}

// Row labels of the 16x16 grids: pressure for the pressure-indexed tables, throttle otherwise.
void LabelLoadColumns(TFirmware& fw, FirmwareLayout& l, CalibrationGrids& g, char sep) {
    const Axis16& trt = fw.FThrottleAxis;
    if (!l.FlagDAD) {
        for (TextGrid* grid :
             {&g.SG_AFR, &g.SG_UOZ, &g.SG_BCN, &g.SG_PCN, &g.SG_RT, &g.RzStringGrid2}) {
            LabelColumn(*grid, trt);
        }
        return;
    }
    fw.GetDadAxis(l.startaddrMin1, l.StartAddrMin2, l.StartAddrMax);
    const Axis16& dad = fw.FDADAxis;
    if (l.FlagPcn32) {
        GetPcn_32(fw, g.SG_PCN_32, kAddrPcn32, sep);
        g.ShowPcn32Tab = true;
        LabelRow(g.SG_PCN_32, fw.FRPMAxis_32);
        LabelColumn(g.SG_PCN_32, fw.FThrottleAxis_32);
    }
    if (l.firmwareName == "J7ES") {
        for (TextGrid* grid : {&g.RzStringGrid2, &g.SG_PCN, &g.SG_RT})
            LabelColumn(*grid, dad);
        for (TextGrid* grid : {&g.SG_AFR, &g.SG_UOZ, &g.SG_BCN})
            LabelColumn(*grid, trt);
    }
    if (l.FlagDadUozAfr) {
        LabelPressureIgnition(fw, l, g, sep);
    } else {
        LabelPressureFuellingOnly(l, g, dad, trt);
    }
}

}  // namespace

CalibrationGrids::CalibrationGrids() {
    for (int k = 0; k < 39; ++k) {
        const std::string t = IntegerText(CoolantAxisPoint(k));
        RzStringGrid4.SetCell(k, 0, t);
        RzStringGrid5.SetCell(k, 0, t);
        RzStringGrid6.SetCell(k, 0, t);
    }
    RzStringGrid3.SetCell(0, 0, texts::kCaptionInjStatic);
    RzStringGrid5.Enabled = false;
    RzStringGrid8.Enabled = false;
}

int CoolantAxisPoint(int k) {
    return -40 + 5 * k;
}

double BatteryAxisPoint(int k) {
    return (56 + 8 * k) / 10.0;
}

bool TableAddressKnown(std::uint16_t startAddr) {
    return startAddr != 0;
}

void FillGridsAtOpen(TFirmware& fw, FirmwareLayout& l, CalibrationGrids& g, char sep) {
    // Address 0 is where a layout without table addresses leaves them: that is code, so the
    // table stays empty and disabled, and nothing ever encodes it.
    using Decode = void (*)(const TFirmware&, TextGrid&, std::uint16_t, char);
    const std::tuple<TextGrid*, std::uint16_t, Decode> tables[] = {
        {&g.SG_PCN, l.StartAddrPCN, GetPCN},
        {&g.SG_BCN, l.StartAddrBCN, GetBCN},
        {&g.SG_UOZ, l.StartAddrUOZ, GetUOZ},
        {&g.SG_AFR, l.StartAddrAFR, GetAFR},
    };
    for (const auto& [grid, start, decode] : tables) {
        grid->Enabled = TableAddressKnown(start);
        if (grid->Enabled)
            decode(fw, *grid, start, sep);
    }
    GetPCN(fw, g.SG_PCN_TRT, kAddrPcnTrt, sep);
    FillDataTables(fw, g, sep);
    fw.GetRPMAxis();
    fw.GetThrottleAxis();
    fw.GetThrottleAxis_32();
    if (l.firmwareName == "J7ES") {
        l.StartAddrInjStatic = 0x5F24;
        l.InjStaticBytes = 2;
        if (l.FlagPcnDad32x32)
            FillPcnDad32x32(fw, l, g, sep);
    }
    for (TextGrid* grid :
         {&g.SG_BCN, &g.SG_PCN, &g.SG_UOZ, &g.SG_AFR, &g.SG_RT, &g.SG_PCN_TRT, &g.RzStringGrid2}) {
        LabelRow(*grid, fw.FRPMAxis);
    }
    LabelColumn(g.SG_PCN_TRT, fw.FThrottleAxis);
    LabelLoadColumns(fw, l, g, sep);
    if (l.FlagGBC)
        LabelColumn(g.SG_UOZ, fw.GBCAxis());
    g.RzStringGrid3.SetCell(
        1, 0,
        FormatMask("##0.0000", fw.ReadStaticInjTime(l.StartAddrInjStatic, l.InjStaticBytes), sep));
    g.RzStringGrid7.SetCell(0, 0, texts::kCaptionCylinder);
    g.RzStringGrid7.SetCell(1, 0, GeneralText(fw.ReadCilindrVALUE(kAddrCylinder, 2), sep));
    g.ShowPcnTrtTab = l.ShowPcnTrtTab;
    g.ShowLearnTrtOption = l.ShowLearnTrtOption;
}

}  // namespace veltrano
