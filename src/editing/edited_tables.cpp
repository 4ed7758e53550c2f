#include "editing/edited_tables.h"

#include <algorithm>

#include "common/text_forms.h"

namespace veltrano {
namespace {

constexpr std::size_t kAddrInjDynamic = 0x71D8;
constexpr std::size_t kAddrIdleAfr = 0x87E4;
constexpr std::size_t kAddrIdleValve = 0x6FE4;
constexpr std::size_t kAddrIdleRpm = 0x6F56;
constexpr int kCoolantPoints = 39;

std::optional<TableScale> ScaleOf(TableId id) {
    switch (id) {
        case TableId::PCN:
        case TableId::PCN_32x32:
            return TableScale::Pcn;
        case TableId::BCN:
            return TableScale::Bcn;
        case TableId::UOZ:
            return TableScale::Uoz;
        case TableId::AFR:
            return TableScale::Afr;
        case TableId::InjDynamic:
            return TableScale::InjDynamic;
        default:
            return std::nullopt;
    }
}

bool IsDataRow(TableId id) {
    return id == TableId::InjDynamic || id == TableId::IdleAfr || id == TableId::IdleValve ||
           id == TableId::IdleRpm;
}

std::optional<std::size_t> NonZero(std::size_t addr) {
    return addr == 0 ? std::nullopt : std::optional<std::size_t>(addr);
}

}  // namespace

const char* GridName(TableId id) {
    switch (id) {
        case TableId::PCN:
            return "SG_PCN";
        case TableId::PCN_32x32:
            return "SG_PCN_32x32";
        case TableId::BCN:
            return "SG_BCN";
        case TableId::UOZ:
            return "SG_UOZ";
        case TableId::AFR:
            return "SG_AFR";
        case TableId::InjDynamic:
            return "RzStringGrid1";
        case TableId::IdleAfr:
            return "RzStringGrid4";
        case TableId::IdleValve:
            return "RzStringGrid5";
        case TableId::IdleRpm:
            return "RzStringGrid6";
    }
    return "";
}

std::optional<TableId> TableByGridName(std::string_view name) {
    for (TableId id : kAllTables) {
        if (name == GridName(id))
            return id;
    }
    return std::nullopt;
}

TextGrid& GridOf(CalibrationGrids& g, TableId id) {
    return const_cast<TextGrid&>(GridOf(static_cast<const CalibrationGrids&>(g), id));
}

const TextGrid& GridOf(const CalibrationGrids& g, TableId id) {
    switch (id) {
        case TableId::PCN:
            return g.SG_PCN;
        case TableId::PCN_32x32:
            return g.SG_PCN_32x32;
        case TableId::BCN:
            return g.SG_BCN;
        case TableId::UOZ:
            return g.SG_UOZ;
        case TableId::AFR:
            return g.SG_AFR;
        case TableId::InjDynamic:
            return g.RzStringGrid1;
        case TableId::IdleAfr:
            return g.RzStringGrid4;
        case TableId::IdleValve:
            return g.RzStringGrid5;
        case TableId::IdleRpm:
            return g.RzStringGrid6;
    }
    return g.SG_PCN;
}

ValueArea AreaOf(TableId id) {
    switch (id) {
        case TableId::PCN_32x32:
            return {1, 32, 1, 32};
        case TableId::UOZ:
            return {1, 16, 1, 17};
        case TableId::InjDynamic:
            return {0, 15, 1, 1};
        case TableId::IdleAfr:
        case TableId::IdleValve:
        case TableId::IdleRpm:
            return {0, kCoolantPoints - 1, 1, 1};
        default:
            return {1, 16, 1, 16};
    }
}

std::optional<std::size_t> StartOf(TableId id, const FirmwareLayout& l) {
    switch (id) {
        case TableId::PCN:
            return NonZero(l.StartAddrPCN);
        case TableId::PCN_32x32:
            return l.firmwareName == "J7ES" && l.FlagPcnDad32x32 ? NonZero(l.StartAddrPcn_32x32)
                                                                 : std::nullopt;
        case TableId::BCN:
            return NonZero(l.StartAddrBCN);
        case TableId::UOZ:
            return NonZero(l.StartAddrUOZ);
        case TableId::AFR:
            return NonZero(l.StartAddrAFR);
        case TableId::InjDynamic:
            return kAddrInjDynamic;
        case TableId::IdleAfr:
            return kAddrIdleAfr;
        case TableId::IdleValve:
            return kAddrIdleValve;
        case TableId::IdleRpm:
            return kAddrIdleRpm;
    }
    return std::nullopt;
}

std::optional<std::size_t> ByteIndexOf(TableId id, int col, int row) {
    const ValueArea a = AreaOf(id);
    if (!a.Contains(col, row))
        return std::nullopt;
    if (IsDataRow(id))
        return static_cast<std::size_t>(col);
    if (id == TableId::UOZ && row == 17)
        return std::nullopt;
    const int n = a.lastCol;
    return static_cast<std::size_t>(row - 1) * n + (col - 1);
}

std::string ByteTextOf(TableId id, std::uint8_t b, int m, char sep) {
    if (const auto scale = ScaleOf(id))
        return ByteText(*scale, b, m, sep);
    if (id == TableId::IdleAfr)
        return FormatMask("##0.0", TFirmware::GetAfrXX(b), sep);
    if (id == TableId::IdleRpm)
        return IntegerText(b * 10);
    return IntegerText(b);
}

double ByteValueOf(TableId id, std::uint8_t b, int m) {
    if (const auto scale = ScaleOf(id))
        return ByteValue(*scale, b, m);
    if (id == TableId::IdleAfr)
        return TFirmware::GetAfrXX(b);
    if (id == TableId::IdleRpm)
        return b * 10.0;
    return b;
}

std::optional<std::uint8_t> TextByteOf(TableId id, std::string_view text, int m, char sep) {
    if (const auto scale = ScaleOf(id))
        return TextByte(*scale, text, m, sep);
    const std::optional<double> v = ParseNumber(text, sep);
    if (!v)
        return std::nullopt;
    double code = *v;
    if (id == TableId::IdleAfr)
        code = *v * 256 / 14.7 - 128;
    if (id == TableId::IdleRpm)
        code = *v / 10;
    return static_cast<std::uint8_t>(std::clamp<long long>(RoundHalfEven(code), 0, 255));
}

std::optional<std::uint8_t> CellByteOf(const TextGrid& grid, TableId id, int col, int row, int m,
                                       char sep) {
    if (!grid.Modified(col, row))
        return grid.ShownByte(col, row);
    return TextByteOf(id, grid.Cell(col, row), m, sep);
}

std::pair<double, double> ValueRangeOf(TableId id, int m) {
    return {ByteValueOf(id, 0, m), ByteValueOf(id, 255, m)};
}

}  // namespace veltrano
