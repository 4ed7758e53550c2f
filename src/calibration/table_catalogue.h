// The table catalogue: byte-to-text and text-to-byte conversions and whole-table decoding and
// encoding between the image (or a link buffer) and a grid.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "calibration/firmware.h"
#include "calibration/text_grid.h"

namespace veltrano {

enum class TableScale {
    Pcn,         // v = b / 128, "##0.##"
    Bcn,         // v = b / 3 * 8 * m, "##0"
    Uoz,         // v = b / 2, "##0.#"
    Afr,         // v = (b + 128) * 14.7 / 256, "##0.##"
    InjDynamic,  // v = b * 0.008, "##0.##"
};

// m of the BCN: 2 when FlagTRS239 and Flag_DAD_BCN are both set, otherwise 1.
int BcnMultiplier(const TFirmware& firmware);

double ByteValue(TableScale scale, std::uint8_t b, int bcnMultiplier = 1);
std::string ByteText(TableScale scale, std::uint8_t b, int bcnMultiplier, char sep);
// Value to byte: round half to even, then clamped to 0..255.
std::uint8_t ValueByte(TableScale scale, double v, int bcnMultiplier = 1);
// Parses the text with the separator; nullopt when it is not a number.
std::optional<std::uint8_t> TextByte(TableScale scale, std::string_view text, int bcnMultiplier,
                                     char sep);

// Decoding: cell (k mod n + 1, k div n + 1) := display of image[start + k]; labels untouched.
void DecodeTable(const TFirmware& firmware, TextGrid& grid, TableScale scale, std::uint16_t start,
                 int n, char sep);
void GetPCN(const TFirmware& firmware, TextGrid& table, std::uint16_t startAddr, char sep);
void GetPcn_32(const TFirmware& firmware, TextGrid& table, std::uint16_t startAddr, char sep);
void GetBCN(const TFirmware& firmware, TextGrid& table, std::uint16_t startAddr, char sep);
void GetUOZ(const TFirmware& firmware, TextGrid& table, std::uint16_t startAddr, char sep);
void GetAFR(const TFirmware& firmware, TextGrid& table, std::uint16_t startAddr, char sep);
// Row 0: battery-voltage axis; row 1: the 16 dynamic-correction values at startAddr.
void GetINJTIME(const TFirmware& firmware, TextGrid& table, std::uint16_t startAddr, char sep);

// A cell whose text is not a number.
struct CellError {
    int col = 0;
    int row = 0;
    std::string text;
};
// "Ячейка X3Z5: «abc» не является числом" style message.
std::string CellErrorMessage(const CellError& error);

// The first cell among rows/columns 1..n whose modified text is not a number.
std::optional<CellError> CheckTable(const TextGrid& grid, int n, char sep);

// The byte a cell stands for: its pair's byte while its text is the pair's text, otherwise the
// encoding of its text (nothing when that is not a number).
std::optional<std::uint8_t> CellByte(const TextGrid& grid, int col, int row, TableScale scale,
                                     int bcnMultiplier, char sep);

// n x n bytes in image order (index (r-1)*n + (c-1)), each cell's CellByte. Nothing is returned
// when a modified text is not a number.
struct EncodedTable {
    std::vector<std::uint8_t> bytes;
    std::optional<CellError> error;
};
EncodedTable EncodeTableBytes(const TextGrid& grid, TableScale scale, int n, int bcnMultiplier,
                              char sep);

// Writes every cell's CellByte into the image at start. Checks every cell first: on a bad cell
// nothing is written and the error returned.
std::optional<CellError> EncodeTable(TFirmware& firmware, const TextGrid& grid, TableScale scale,
                                     std::uint16_t start, int n, char sep);
std::optional<CellError> TabFirmPCN(TFirmware& firmware, const TextGrid& table,
                                    std::uint16_t startAddr, char sep);
std::optional<CellError> TabFirPcn_32x32(TFirmware& firmware, const TextGrid& table,
                                         std::uint16_t startAddr, char sep);
std::optional<CellError> TabFirmBCN(TFirmware& firmware, const TextGrid& table,
                                    std::uint16_t startAddr, char sep);
std::optional<CellError> TabFirmUOZ(TFirmware& firmware, const TextGrid& table,
                                    std::uint16_t startAddr, char sep);

}  // namespace veltrano
