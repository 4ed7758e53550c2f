#include "calibration/image_diff.h"

#include <algorithm>

namespace veltrano {

bool ImageDiff::TablesDiffer() const {
    return std::any_of(tables.begin(), tables.end(),
                       [](const TableDiff& t) { return !t.cells.empty(); });
}

std::vector<TablePlace> TablesOf(const FirmwareLayout& l) {
    std::vector<TablePlace> all = {{"PCN", l.StartAddrPCN, 16, TableScale::Pcn}};
    if (l.ShowPcnTrtTab)
        all.push_back({"PCN_TRT", kAddrPcnTrt, 16, TableScale::Pcn});
    if (l.FlagPcn32)
        all.push_back({"PCN_32", kAddrPcn32, 32, TableScale::Pcn});
    if (l.FlagPcnDad32x32)
        all.push_back({"PCN_32x32", l.StartAddrPcn_32x32, 32, TableScale::Pcn});
    all.push_back({"BCN", l.StartAddrBCN, 16, TableScale::Bcn});
    all.push_back({"UOZ", l.StartAddrUOZ, 16, TableScale::Uoz});
    all.push_back({"AFR", l.StartAddrAFR, 16, TableScale::Afr});
    // A table the layout left without an address is not in this image.
    std::erase_if(all, [](const TablePlace& t) { return t.start == 0; });
    return all;
}

namespace {

bool SamePlaces(const std::vector<TablePlace>& a, const std::vector<TablePlace>& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](const TablePlace& x, const TablePlace& y) {
                          return x.name == y.name && x.start == y.start && x.n == y.n;
                      });
}

std::uint8_t ByteAt(const std::vector<std::uint8_t>& image, std::size_t at) {
    return at < image.size() ? image[at] : 0;
}

}  // namespace

DiffResult DiffImages(const Calibration& a, const Calibration& b, char sep) {
    DiffResult result;
    if (a.layout.firmwareName != b.layout.firmwareName) {
        result.error =
            "different variants: " + a.layout.firmwareName + " and " + b.layout.firmwareName;
        return result;
    }
    const std::vector<TablePlace> places = TablesOf(a.layout);
    if (!SamePlaces(places, TablesOf(b.layout))) {
        result.error = "the images' configurations place the tables differently";
        return result;
    }
    const auto& oldBytes = a.firmware.FFirmwareData;
    const auto& newBytes = b.firmware.FFirmwareData;
    const std::size_t size = std::max(oldBytes.size(), newBytes.size());
    std::vector<bool> inTable(size, false);
    ImageDiff diff;
    diff.variant = a.layout.firmwareName;
    const int mOld = BcnMultiplier(a.firmware), mNew = BcnMultiplier(b.firmware);
    for (const TablePlace& place : places) {
        TableDiff table{place.name, {}};
        for (int r = 1; r <= place.n; ++r) {
            for (int c = 1; c <= place.n; ++c) {
                const std::size_t at = place.start + std::size_t((r - 1) * place.n + (c - 1));
                if (at < size)
                    inTable[at] = true;
                const std::uint8_t o = ByteAt(oldBytes, at), n = ByteAt(newBytes, at);
                if (o == n && mOld == mNew)
                    continue;
                CellChange cell{c,
                                r,
                                o,
                                n,
                                ByteText(place.scale, o, mOld, sep),
                                ByteText(place.scale, n, mNew, sep)};
                if (o != n || cell.oldText != cell.newText)
                    table.cells.push_back(std::move(cell));
            }
        }
        diff.tables.push_back(std::move(table));
    }
    for (std::size_t at = 0; at < size; ++at)
        if (!inTable[at] &&
            (at >= oldBytes.size() || at >= newBytes.size() || oldBytes[at] != newBytes[at]))
            ++diff.otherBytes;
    result.diff = std::move(diff);
    return result;
}

}  // namespace veltrano
