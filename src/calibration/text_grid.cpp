#include "calibration/text_grid.h"

#include <atomic>

namespace veltrano {
namespace {
const std::string kEmpty;
std::atomic<std::uint64_t> setClock{0};

std::uint64_t Tick() {
    return setClock.fetch_add(1, std::memory_order_relaxed) + 1;
}
}  // namespace

TextGrid::TextGrid(int colCount, int rowCount)
    : cols_(colCount > 0 ? colCount : 0),
      rows_(rowCount > 0 ? rowCount : 0),
      cells_(static_cast<std::size_t>(cols_) * rows_) {}

bool TextGrid::Contains(int col, int row) const {
    return col >= 0 && row >= 0 && col < cols_ && row < rows_;
}

const TextGrid::Entry* TextGrid::Find(int col, int row) const {
    if (!Contains(col, row))
        return nullptr;
    return &cells_[static_cast<std::size_t>(row) * cols_ + col];
}

TextGrid::Entry* TextGrid::Find(int col, int row) {
    if (!Contains(col, row))
        return nullptr;
    return &cells_[static_cast<std::size_t>(row) * cols_ + col];
}

const std::string& TextGrid::Cell(int col, int row) const {
    const Entry* e = Find(col, row);
    return e ? e->text : kEmpty;
}

void TextGrid::SetCell(int col, int row, std::string text) {
    if (Entry* e = Find(col, row)) {
        e->text = std::move(text);
        e->setAt = Tick();
    }
}

void TextGrid::SetDecoded(int col, int row, std::string text, std::uint8_t byte) {
    Entry* e = Find(col, row);
    if (!e)
        return;
    e->shownText = text;
    e->text = std::move(text);
    e->shownByte = byte;
    e->setAt = Tick();
}

std::uint64_t TextGrid::SetAt(int col, int row) const {
    const Entry* e = Find(col, row);
    return e ? e->setAt : 0;
}

std::optional<std::uint8_t> TextGrid::ShownByte(int col, int row) const {
    const Entry* e = Find(col, row);
    return e ? e->shownByte : std::nullopt;
}

const std::string& TextGrid::ShownText(int col, int row) const {
    const Entry* e = Find(col, row);
    return e ? e->shownText : kEmpty;
}

bool TextGrid::Modified(int col, int row) const {
    const Entry* e = Find(col, row);
    if (!e)
        return false;
    return !e->shownByte || e->text != e->shownText;
}

void TextGrid::Revert(int col, int row) {
    Entry* e = Find(col, row);
    if (e && e->shownByte) {
        e->text = e->shownText;
        e->setAt = Tick();
    }
}

TextGrid::CellState TextGrid::State(int col, int row) const {
    const Entry* e = Find(col, row);
    return e ? *e : CellState{};
}

void TextGrid::SetState(int col, int row, CellState state) {
    if (Entry* e = Find(col, row))
        *e = std::move(state);
}

void TextGrid::Clear() {
    for (Entry& e : cells_)
        e = Entry{};
}

}  // namespace veltrano
