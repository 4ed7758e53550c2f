#include "editing/table_edit.h"

#include <algorithm>

namespace veltrano {
namespace {

template <class Fn>
void ForEachCell(TableId id, Fn fn) {
    const ValueArea a = AreaOf(id);
    for (int r = a.firstRow; r <= a.lastRow; ++r) {
        for (int c = a.firstCol; c <= a.lastCol; ++c)
            fn(c, r);
    }
}

}  // namespace

std::vector<TableId> TableEdit::Tables() const {
    std::vector<TableId> out;
    for (const CellChange& ch : cells) {
        if (std::find(out.begin(), out.end(), ch.table) == out.end())
            out.push_back(ch.table);
    }
    return out;
}

std::vector<CellRef> TableEdit::CellsOf(TableId id) const {
    std::vector<CellRef> out;
    for (const CellChange& ch : cells) {
        if (ch.table == id)
            out.push_back(ch.cell);
    }
    return out;
}

EditRecorder::EditRecorder(const CalibrationGrids& grids, const TFirmware* firmware,
                           std::vector<TableId> tables)
    : tables_(std::move(tables)) {
    if (firmware != nullptr)
        image_ = firmware->FFirmwareData;
    for (TableId id : tables_) {
        std::vector<TextGrid::CellState> states;
        const TextGrid& g = GridOf(grids, id);
        ForEachCell(id, [&](int c, int r) { states.push_back(g.State(c, r)); });
        before_.push_back(std::move(states));
    }
}

TableEdit EditRecorder::Finish(std::string what, const CalibrationGrids& grids,
                               const TFirmware* firmware) const {
    TableEdit edit;
    edit.what = std::move(what);
    for (std::size_t t = 0; t < tables_.size(); ++t) {
        const TextGrid& g = GridOf(grids, tables_[t]);
        std::size_t i = 0;
        ForEachCell(tables_[t], [&](int c, int r) {
            const TextGrid::CellState& before = before_[t][i++];
            TextGrid::CellState after = g.State(c, r);
            // When a cell was set counts too: it decides between grids that show the same byte.
            if (before != after)
                edit.cells.push_back({tables_[t], {c, r}, before, std::move(after)});
        });
    }
    if (firmware == nullptr)
        return edit;
    const std::vector<std::uint8_t>& now = firmware->FFirmwareData;
    if (now.size() == image_.size()) {
        for (std::size_t a = 0; a < now.size(); ++a) {
            if (now[a] != image_[a])
                edit.image.push_back({a, image_[a], now[a]});
        }
    }
    return edit;
}

void ApplyEdit(const TableEdit& edit, bool redo, CalibrationGrids& grids, TFirmware& firmware) {
    for (const CellChange& ch : edit.cells)
        GridOf(grids, ch.table).SetState(ch.cell.col, ch.cell.row, redo ? ch.after : ch.before);
    std::vector<std::uint8_t>& image = firmware.FFirmwareData;
    for (const ImageChange& b : edit.image) {
        if (b.addr < image.size())
            image[b.addr] = redo ? b.after : b.before;
    }
}

}  // namespace veltrano
