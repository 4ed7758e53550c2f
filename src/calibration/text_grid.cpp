#include "calibration/text_grid.h"

namespace veltrano {
namespace {
const std::string kEmpty;
}

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
    if (Entry* e = Find(col, row))
        e->text = std::move(text);
}

void TextGrid::SetDecoded(int col, int row, std::string text, std::uint8_t byte) {
    Entry* e = Find(col, row);
    if (!e)
        return;
    e->originalText = text;
    e->text = std::move(text);
    e->originalByte = byte;
}

std::optional<std::uint8_t> TextGrid::OriginalByte(int col, int row) const {
    const Entry* e = Find(col, row);
    return e ? e->originalByte : std::nullopt;
}

const std::string& TextGrid::OriginalText(int col, int row) const {
    const Entry* e = Find(col, row);
    return e ? e->originalText : kEmpty;
}

bool TextGrid::Modified(int col, int row) const {
    const Entry* e = Find(col, row);
    if (!e)
        return false;
    return !e->originalByte || e->text != e->originalText;
}

void TextGrid::Revert(int col, int row) {
    Entry* e = Find(col, row);
    if (e && e->originalByte)
        e->text = e->originalText;
}

void TextGrid::Clear() {
    for (Entry& e : cells_)
        e = Entry{};
}

}  // namespace veltrano
