// diff: the tables of two images of one variant, cell by cell, as text or JSON.
#include <filesystem>
#include <iostream>

#include "calibration/image_diff.h"
#include "cli/cli_commands.h"
#include "cli/cli_messages.h"
#include "cli/cli_support.h"

namespace veltrano::cli {
namespace {

constexpr int kError = 2;

// Cell texts are numbers; names and variants are plain letters: only quotes need care.
std::string Quoted(const std::string& s) {
    std::string out = "\"";
    for (char ch : s) {
        if (ch == '"' || ch == '\\')
            out += '\\';
        out += ch;
    }
    return out + "\"";
}

void PrintText(const ImageDiff& d, std::ostream& out) {
    for (const TableDiff& t : d.tables) {
        out << t.name << ' ' << t.cells.size() << '\n';
        for (const CellChange& c : t.cells)
            out << 'X' << c.column << 'Z' << c.row << ' ' << c.oldText << " -> " << c.newText
                << '\n';
    }
}

void PrintJson(const ImageDiff& d, std::ostream& out) {
    out << "{\"variant\": " << Quoted(d.variant) << ", \"tables\": [";
    for (std::size_t i = 0; i < d.tables.size(); ++i) {
        const TableDiff& t = d.tables[i];
        out << (i ? ", " : "") << "{\"name\": " << Quoted(t.name) << ", \"cells\": [";
        for (std::size_t k = 0; k < t.cells.size(); ++k) {
            const CellChange& c = t.cells[k];
            out << (k ? ", " : "") << "{\"column\": " << c.column << ", \"row\": " << c.row
                << ", \"old\": " << Quoted(c.oldText) << ", \"new\": " << Quoted(c.newText)
                << ", \"old_byte\": " << int(c.oldByte) << ", \"new_byte\": " << int(c.newByte)
                << "}";
        }
        out << "]}";
    }
    out << "], \"other_bytes\": " << d.otherBytes << "}\n";
}

bool OpenForDiff(const std::string& path, Calibration& out) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) {
        Fail("diff: " + path + ": no such file");
        return false;
    }
    StderrMessages messages;
    if (!OpenCalibration(path, messages, out, ',')) {
        if (messages.warnings == 0)
            Fail("diff: " + path + ": cannot open");
        return false;
    }
    return true;
}

}  // namespace

int Diff(const Args& args) {
    const Parsed p = ParseArgs(args, {"--json"}, {}, 2);
    if (!p.error.empty()) {
        Fail("diff: " + p.error);
        return kError;
    }
    Calibration a, b;
    if (!OpenForDiff(p.positional[0], a) || !OpenForDiff(p.positional[1], b))
        return kError;
    const DiffResult result = DiffImages(a, b, ',');
    if (!result.diff) {
        Fail("diff: " + result.error);
        return kError;
    }
    if (p.flags.count("--json"))
        PrintJson(*result.diff, std::cout);
    else
        PrintText(*result.diff, std::cout);
    return result.diff->TablesDiffer() ? 1 : 0;
}

}  // namespace veltrano::cli
