#include "calibration/table_catalogue.h"

#include <algorithm>

#include "calibration/calibration_grids.h"
#include "calibration/calibration_texts.h"
#include "common/text_forms.h"

namespace veltrano {
namespace {

const char* MaskOf(TableScale scale) {
    switch (scale) {
        case TableScale::Bcn:
            return "##0";
        case TableScale::Uoz:
            return "##0.#";
        default:
            return "##0.##";
    }
}

// The value-to-byte formula before rounding.
double Code(TableScale scale, double v, int m) {
    switch (scale) {
        case TableScale::Pcn:
            return v * 128;
        case TableScale::Bcn:
            return v / 8 * 3 / m;
        case TableScale::Uoz:
            return v * 2;
        case TableScale::Afr:
            return v * 256 / 14.7 - 128;
        case TableScale::InjDynamic:
            return v / 0.008;
    }
    return 0;
}

}  // namespace

int BcnMultiplier(const TFirmware& firmware) {
    return firmware.FlagTRS239 && firmware.Flag_DAD_BCN ? 2 : 1;
}

double ByteValue(TableScale scale, std::uint8_t b, int m) {
    switch (scale) {
        case TableScale::Pcn:
            return b / 128.0;
        case TableScale::Bcn:
            return b / 3.0 * 8 * m;
        case TableScale::Uoz:
            return b / 2.0;
        case TableScale::Afr:
            return TFirmware::GetAfrXX(b);
        case TableScale::InjDynamic:
            return b * 0.008;
    }
    return 0;
}

std::string ByteText(TableScale scale, std::uint8_t b, int m, char sep) {
    return FormatMask(MaskOf(scale), ByteValue(scale, b, m), sep);
}

std::uint8_t ValueByte(TableScale scale, double v, int m) {
    const long long code = RoundHalfEven(Code(scale, v, m == 0 ? 1 : m));
    return static_cast<std::uint8_t>(std::clamp<long long>(code, 0, 255));
}

std::optional<std::uint8_t> TextByte(TableScale scale, std::string_view text, int m, char sep) {
    const std::optional<double> v = ParseNumber(text, sep);
    if (!v)
        return std::nullopt;
    return ValueByte(scale, *v, m);
}

void DecodeTable(const TFirmware& firmware, TextGrid& grid, TableScale scale, std::uint16_t start,
                 int n, char sep) {
    const int m = BcnMultiplier(firmware);
    for (int k = 0; k < n * n; ++k) {
        const std::uint8_t b = firmware.Byte(static_cast<std::size_t>(start) + k);
        grid.SetDecoded(k % n + 1, k / n + 1, ByteText(scale, b, m, sep), b);
    }
}

void GetPCN(const TFirmware& firmware, TextGrid& table, std::uint16_t startAddr, char sep) {
    DecodeTable(firmware, table, TableScale::Pcn, startAddr, 16, sep);
}
void GetPcn_32(const TFirmware& firmware, TextGrid& table, std::uint16_t startAddr, char sep) {
    DecodeTable(firmware, table, TableScale::Pcn, startAddr, 32, sep);
}
void GetBCN(const TFirmware& firmware, TextGrid& table, std::uint16_t startAddr, char sep) {
    DecodeTable(firmware, table, TableScale::Bcn, startAddr, 16, sep);
}
void GetUOZ(const TFirmware& firmware, TextGrid& table, std::uint16_t startAddr, char sep) {
    DecodeTable(firmware, table, TableScale::Uoz, startAddr, 16, sep);
}
void GetAFR(const TFirmware& firmware, TextGrid& table, std::uint16_t startAddr, char sep) {
    DecodeTable(firmware, table, TableScale::Afr, startAddr, 16, sep);
}

void GetINJTIME(const TFirmware& firmware, TextGrid& table, std::uint16_t startAddr, char sep) {
    for (int k = 0; k < 16; ++k) {
        table.SetCell(k, 0, GeneralText(BatteryAxisPoint(k), sep));
        const std::uint8_t b = firmware.Byte(static_cast<std::size_t>(startAddr) + k);
        table.SetDecoded(k, 1, ByteText(TableScale::InjDynamic, b, 1, sep), b);
    }
}

std::string CellErrorMessage(const CellError& error) {
    return std::string(texts::kCellWord) + " X" + std::to_string(error.col) + "Z" +
           std::to_string(error.row) + ": «" + error.text + "» " + texts::kCellNotNumber;
}

std::optional<CellError> CheckTable(const TextGrid& grid, int n, char sep) {
    for (int r = 1; r <= n; ++r) {
        for (int c = 1; c <= n; ++c) {
            if (!grid.Modified(c, r))
                continue;
            if (!ParseNumber(grid.Cell(c, r), sep))
                return CellError{c, r, grid.Cell(c, r)};
        }
    }
    return std::nullopt;
}

std::optional<std::uint8_t> CellByte(const TextGrid& grid, int col, int row, TableScale scale,
                                     int m, char sep) {
    if (!grid.Modified(col, row))
        return grid.ShownByte(col, row);
    return TextByte(scale, grid.Cell(col, row), m, sep);
}

EncodedTable EncodeTableBytes(const TextGrid& grid, TableScale scale, int n, int m, char sep) {
    EncodedTable out;
    out.error = CheckTable(grid, n, sep);
    if (out.error)
        return out;
    out.bytes.resize(static_cast<std::size_t>(n) * n);
    for (int r = 1; r <= n; ++r) {
        for (int c = 1; c <= n; ++c)
            out.bytes[(r - 1) * n + (c - 1)] = *CellByte(grid, c, r, scale, m, sep);
    }
    return out;
}

std::optional<CellError> EncodeTable(TFirmware& firmware, const TextGrid& grid, TableScale scale,
                                     std::uint16_t start, int n, char sep) {
    const EncodedTable encoded = EncodeTableBytes(grid, scale, n, BcnMultiplier(firmware), sep);
    if (encoded.error)
        return encoded.error;
    // Every cell is written: an unchanged one gives back its pair's byte, which may differ from
    // what an earlier encoding of an edited text left in the image.
    for (std::size_t i = 0; i < encoded.bytes.size(); ++i) {
        const std::size_t addr = static_cast<std::size_t>(start) + i;
        if (addr < firmware.FFirmwareData.size())
            firmware.FFirmwareData[addr] = encoded.bytes[i];
    }
    return std::nullopt;
}

std::optional<CellError> TabFirmPCN(TFirmware& firmware, const TextGrid& table,
                                    std::uint16_t startAddr, char sep) {
    return EncodeTable(firmware, table, TableScale::Pcn, startAddr, 16, sep);
}
std::optional<CellError> TabFirPcn_32x32(TFirmware& firmware, const TextGrid& table,
                                         std::uint16_t startAddr, char sep) {
    return EncodeTable(firmware, table, TableScale::Pcn, startAddr, 32, sep);
}
std::optional<CellError> TabFirmBCN(TFirmware& firmware, const TextGrid& table,
                                    std::uint16_t startAddr, char sep) {
    return EncodeTable(firmware, table, TableScale::Bcn, startAddr, 16, sep);
}
std::optional<CellError> TabFirmUOZ(TFirmware& firmware, const TextGrid& table,
                                    std::uint16_t startAddr, char sep) {
    return EncodeTable(firmware, table, TableScale::Uoz, startAddr, 16, sep);
}

}  // namespace veltrano
