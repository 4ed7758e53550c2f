#include "calibration/export_file.h"

#include "calibration/calibration_file.h"
#include "calibration/calibration_texts.h"
#include "common/code_page.h"

namespace veltrano {
namespace {

std::string PcnIdentifier(const FirmwareLayout& l, bool learnTrtChecked) {
    const std::string& name = l.firmwareName;
    if (l.FlagDAD && !learnTrtChecked) {
        if (name == "J7ES")
            return "[7BF20B0D]";
        if (name == "J5TRS")
            return "[FE01FF10]";
    }
    if (name == "J7ES" || name == "J5TRS")
        return "[454C2B1C]";
    return "";
}

std::string UozIdentifier(const FirmwareLayout& l) {
    if (l.firmwareName == "J5TRS")
        return l.FlagDadUozAfr ? "[FE00FF85]" : "[FE00FF0E]";
    if (l.firmwareName == "J7ES")
        return l.FlagDadUozAfr ? "[9F8A59E4]" : "[3A4D9EF3]";
    return "[FE00FF0F]";
}

}  // namespace

std::optional<ExportTab> ExportTabAt(int position) {
    if (position < 0 || position > 3)
        return std::nullopt;
    return static_cast<ExportTab>(position);
}

ExportHeader ExportHeaderFor(ExportTab tab, const FirmwareLayout& l, bool learnTrtChecked) {
    const bool j5trs = l.firmwareName == "J5TRS";
    switch (tab) {
        case ExportTab::BCN:
            return {j5trs && l.FlagDAD ? "[FE00FF84]" : "[279E7F4E]", texts::kNameBcn};
        case ExportTab::PCN:
            return {PcnIdentifier(l, learnTrtChecked), texts::kNamePcn};
        case ExportTab::AFR:
            if (j5trs)
                return {l.FlagDadUozAfr ? "[FE00FF85]" : "[FE00FF0B]", texts::kNameAfr};
            return {"[FF654C89]", texts::kNameAfr};
        case ExportTab::UOZ:
            return {UozIdentifier(l), texts::kNameUoz};
    }
    return {};
}

std::vector<std::string> ExportLines(const TextGrid& table, const ExportHeader& header) {
    std::vector<std::string> lines = {header.identifier, header.name};
    for (int c = 1; c <= 16; ++c) {
        for (int r = 1; r <= 16; ++r) {
            lines.push_back("X" + std::to_string(c) + "Z" + std::to_string(r) + "=" +
                            table.Cell(c, r));
        }
    }
    return lines;
}

bool SaveTableOne(const std::string& path, const std::vector<std::string>& lines,
                  Messages& messages) {
    std::string text;
    for (const std::string& line : lines)
        text += Utf8ToCp1251(line) + "\r\n";
    const auto* data = reinterpret_cast<const std::uint8_t*>(text.data());
    return WriteFileAtomically(path, std::span<const std::uint8_t>(data, text.size()), messages);
}

}  // namespace veltrano
