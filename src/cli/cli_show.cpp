// show and export: a table's grid as the window shows it after open, or as an export file.
#include <iostream>
#include <map>

#include "calibration/calibration_texts.h"
#include "calibration/export_file.h"
#include "calibration/table_catalogue.h"
#include "cli/cli_commands.h"
#include "cli/cli_messages.h"
#include "cli/cli_support.h"
#include "common/text_forms.h"

namespace veltrano::cli {
namespace {

void PrintGrid(const TextGrid& g, std::ostream& out) {
    for (int r = 0; r < g.RowCount(); ++r) {
        for (int c = 0; c < g.ColCount(); ++c)
            out << (c ? "\t" : "") << g.Cell(c, r);
        out << '\n';
    }
}

void PrintData(const CalibrationGrids& g, std::ostream& out) {
    const struct {
        const char* name;
        const TextGrid* grid;
        const char* label;
    } parts[] = {
        {"RzStringGrid1", &g.RzStringGrid1, texts::kLabelInjDynamic},
        {"RzStringGrid4", &g.RzStringGrid4, texts::kLabelIdleAfr},
        {"RzStringGrid5", &g.RzStringGrid5, texts::kLabelIdleValve},
        {"RzStringGrid6", &g.RzStringGrid6, texts::kLabelIdleRpm},
        {"RzStringGrid3", &g.RzStringGrid3, ""},
        {"RzStringGrid7", &g.RzStringGrid7, ""},
        {"RzStringGrid8", &g.RzStringGrid8, ""},
        {"SG_Min_Inj_Time", &g.SG_Min_Inj_Time, ""},
    };
    for (const auto& part : parts) {
        out << "# " << part.name << (part.grid->Enabled ? "" : " (disabled)")
            << (*part.label ? " " : "") << part.label << '\n';
        PrintGrid(*part.grid, out);
    }
}

const TextGrid* TableGrid(const CalibrationGrids& g, const std::string& name) {
    const std::map<std::string, const TextGrid*> grids = {
        {"PCN", &g.SG_PCN},       {"PCN_TRT", &g.SG_PCN_TRT},
        {"PCN_32", &g.SG_PCN_32}, {"PCN_32x32", &g.SG_PCN_32x32},
        {"BCN", &g.SG_BCN},       {"UOZ", &g.SG_UOZ},
        {"AFR", &g.SG_AFR},
    };
    auto it = grids.find(name);
    return it == grids.end() ? nullptr : it->second;
}

// The learning option "Обучать RPM - TRT (PCN)" checked: SG_PCN holds the throttle table.
void SwitchPcnToThrottle(Calibration& c, char sep) {
    c.layout.FlagPcnGridDad = false;
    c.layout.StartAddrPCN = kAddrPcnTrt;
    GetPCN(c.firmware, c.grids.SG_PCN, c.layout.StartAddrPCN, sep);
    for (int r = 1; r <= 16; ++r) {
        c.grids.SG_PCN.SetCell(0, r, IntegerText(c.firmware.FThrottleAxis[r - 1]));
    }
}

}  // namespace

int Show(const Args& args) {
    const Parsed p = ParseArgs(args, {}, {"--decimal"}, 2);
    if (!p.error.empty())
        return Fail("show: " + p.error);
    const std::optional<char> sep = DecimalOption(p);
    if (!sep)
        return Fail("show: --decimal takes , or .");
    const std::string& table = p.positional[1];
    if (table != "DATA" && !TableGrid(CalibrationGrids{}, table)) {
        return Fail("show: unknown table " + table);
    }
    Calibration c;
    if (!OpenImage(p.positional[0], c, *sep))
        return 1;
    if (table == "DATA") {
        PrintData(c.grids, std::cout);
    } else {
        PrintGrid(*TableGrid(c.grids, table), std::cout);
    }
    return 0;
}

int Export(const Args& args) {
    const Parsed p = ParseArgs(args, {"--trt"}, {"--decimal"}, 3);
    if (!p.error.empty())
        return Fail("export: " + p.error);
    const std::optional<char> sep = DecimalOption(p);
    if (!sep)
        return Fail("export: --decimal takes , or .");
    const std::map<std::string, ExportTab> tabs = {{"BCN", ExportTab::BCN},
                                                   {"PCN", ExportTab::PCN},
                                                   {"AFR", ExportTab::AFR},
                                                   {"UOZ", ExportTab::UOZ}};
    const auto tab = tabs.find(p.positional[1]);
    if (tab == tabs.end())
        return Fail("export: unknown table " + p.positional[1]);
    Calibration c;
    if (!OpenImage(p.positional[0], c, *sep))
        return 1;
    const bool trt = p.flags.count("--trt") > 0;
    if (trt && !c.layout.ShowLearnTrtOption) {
        return Fail("export: this image has no throttle-indexed PCN to switch to");
    }
    if (trt)
        SwitchPcnToThrottle(c, *sep);
    const ExportHeader header = ExportHeaderFor(tab->second, c.layout, trt);
    StderrMessages messages;
    const TextGrid& grid = *TableGrid(c.grids, tab->first);
    return SaveTableOne(p.positional[2], ExportLines(grid, header), messages) ? 0 : 1;
}

}  // namespace veltrano::cli
