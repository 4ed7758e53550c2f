#include "editing/uoz_generator.h"

#include <algorithm>
#include <array>
#include <optional>

#include "common/text_forms.h"
#include "editing/cell_walk.h"
#include "editing/editing_texts.h"

namespace veltrano {
namespace {

constexpr int kTableSize = 16;
constexpr int kBaseRow = 17;
constexpr double kScaleFactor = 1.3;

// Where a cell's load comes from, and the evaluation order that goes with it.
enum class LoadSource { PressureLabel, GbcLabel, BcnCell };

// The load scale E; it must be a number above 0 (K = 1.3 E divides the load).
std::optional<double> LoadScale(const std::string& Edit2, Messages* messages, char sep) {
    const std::optional<double> e = ParseNumber(Edit2, sep);
    if (e && *e > 0)
        return e;
    if (messages != nullptr)
        messages->Warning(editing_texts::kBadLoadScale);
    return std::nullopt;
}

std::optional<double> CellLoad(LoadSource source, const TextGrid& uoz, const TextGrid* bcn, int c,
                               int r, Messages* messages, char sep) {
    if (source == LoadSource::BcnCell)
        return CellNumber(*bcn, c, r, messages, sep);
    const std::optional<double> label = CellNumber(uoz, 0, r, messages, sep);
    if (!label || source == LoadSource::GbcLabel)
        return label;
    return 4 * *label;
}

double Advance(LoadSource source, double B, double L, double K) {
    const double v = source == LoadSource::GbcLabel ? (100 - L * 100 / K) * B / 100 + B
                                                    : (1 - (L * 100 / K) / 100 + 1) * B;
    return std::clamp(v, 0.0, kUozLimit);
}

// Fills SG_UOZ rows 1..16 column by column; `bytes` (when given) receives each cell's UOZ byte.
bool Generate(LoadSource source, TextGrid& uoz, const TextGrid* bcn, const std::string& Edit2,
              Messages* messages, char sep, std::array<std::uint8_t, 256>* bytes) {
    const std::optional<double> E = LoadScale(Edit2, messages, sep);
    if (!E)
        return false;
    const double K = kScaleFactor * *E;
    for (int c = 1; c <= kTableSize; ++c) {
        for (int r = 1; r <= kTableSize; ++r) {
            const std::optional<double> B = CellNumber(uoz, c, kBaseRow, messages, sep);
            if (!B)
                return false;
            const std::optional<double> L = CellLoad(source, uoz, bcn, c, r, messages, sep);
            if (!L)
                return false;
            const double v = Advance(source, *B, *L, K);
            uoz.SetCell(c, r, FormatMask("##0.#", v, sep));
            if (bytes != nullptr)
                (*bytes)[(r - 1) * kTableSize + (c - 1)] = EncodeByte(v * 2);
        }
    }
    return true;
}

}  // namespace

bool generatorUozDAD(TextGrid& Table, const std::string& Edit2, Messages* messages, char sep) {
    return Generate(LoadSource::PressureLabel, Table, nullptr, Edit2, messages, sep, nullptr);
}

bool generatorUozGBC(TextGrid& table, TFirmware& firmware, const std::string& Edit2,
                     Messages* messages, char sep) {
    std::array<std::uint8_t, 256> bytes{};
    if (!Generate(LoadSource::GbcLabel, table, nullptr, Edit2, messages, sep, &bytes)) {
        return false;
    }
    firmware.TabFirLoad(bytes, kAddrGeneratedUoz);
    // The cells now stand for the bytes just written, not for a later encoding of their text.
    for (int r = 1; r <= kTableSize; ++r) {
        for (int c = 1; c <= kTableSize; ++c)
            table.SetDecoded(c, r, table.Cell(c, r), bytes[(r - 1) * kTableSize + (c - 1)]);
    }
    return true;
}

bool generatedUOZ(const TextGrid& TableGBC, TextGrid& TableUOZ, const std::string& Edit2,
                  Messages* messages, char sep) {
    return Generate(LoadSource::BcnCell, TableUOZ, &TableGBC, Edit2, messages, sep, nullptr);
}

void Button3Click(EditContext& ctx, CalibrationGrids& grids, const std::string& Edit2) {
    if (!ctx.FirmwareLoaded() || !grids.SG_UOZ.Enabled)
        return;
    const FirmwareLayout& layout = *ctx.layout;
    if (layout.FlagDadUozAfr)
        generatorUozDAD(grids.SG_UOZ, Edit2, ctx.messages, ctx.sep);
    if (layout.FlagGBC) {
        generatorUozGBC(grids.SG_UOZ, *ctx.firmware, Edit2, ctx.messages, ctx.sep);
    }
    if (!layout.FlagDadUozAfr && !layout.FlagGBC) {
        generatedUOZ(grids.SG_BCN, grids.SG_UOZ, Edit2, ctx.messages, ctx.sep);
    }
}

}  // namespace veltrano
