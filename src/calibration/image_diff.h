// Two images of one variant compared table by table, cell by cell, and byte by byte elsewhere.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "calibration/calibration_file.h"
#include "calibration/table_catalogue.h"

namespace veltrano {

struct CellChange {
    int column = 0;  // 1-based, as in the export file
    int row = 0;
    std::uint8_t oldByte = 0;
    std::uint8_t newByte = 0;
    std::string oldText;
    std::string newText;
    bool operator==(const CellChange&) const = default;
};

struct TableDiff {
    std::string name;  // PCN, PCN_TRT, PCN_32, PCN_32x32, BCN, UOZ, AFR
    std::vector<CellChange> cells;
};

struct ImageDiff {
    std::string variant;
    std::vector<TableDiff> tables;  // every table of the variant, changed or not
    std::size_t otherBytes = 0;     // differing bytes outside every table, checksum included
    bool TablesDiffer() const;
};

struct DiffResult {
    std::optional<ImageDiff> diff;
    std::string error;  // set when the images cannot be compared
};

// The tables of an opened image: name, start address, side and scale, in a fixed order.
struct TablePlace {
    std::string name;
    std::uint16_t start = 0;
    int n = 16;
    TableScale scale = TableScale::Pcn;
};
std::vector<TablePlace> TablesOf(const FirmwareLayout& layout);

// Compares opened images `a` (old) and `b` (new); texts use the separator `sep`. Images of
// different variants, or whose configuration places the tables differently, are refused.
DiffResult DiffImages(const Calibration& a, const Calibration& b, char sep);

}  // namespace veltrano
