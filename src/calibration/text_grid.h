// A grid of cell texts: the working copy of one table as the window shows it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace veltrano {

// Cells are addressed (column, row) as the window's grids are: row 0 holds the column labels,
// column 0 the row labels of a table grid. A cell filled by decoding a table byte remembers that
// byte and the text it was decoded to, so a cell whose text is unchanged saves its original byte
// and "modified" is a comparison.
class TextGrid {
  public:
    TextGrid() = default;
    TextGrid(int colCount, int rowCount);

    int ColCount() const { return cols_; }
    int RowCount() const { return rows_; }
    bool Contains(int col, int row) const;

    // Empty text for a cell outside the grid.
    const std::string& Cell(int col, int row) const;
    // Sets a cell's text (an edit, a label, a parameter); keeps what the cell was decoded from.
    void SetCell(int col, int row, std::string text);
    // Sets a cell's text as decoded from `byte`; the cell then remembers both.
    void SetDecoded(int col, int row, std::string text, std::uint8_t byte);

    // The byte the cell was decoded from, if it was decoded.
    std::optional<std::uint8_t> OriginalByte(int col, int row) const;
    const std::string& OriginalText(int col, int row) const;
    // True when the cell was never decoded or its text differs from the decoded text.
    bool Modified(int col, int row) const;
    // Puts the decoded text back.
    void Revert(int col, int row);
    // Forgets every text and origin.
    void Clear();

    bool Enabled = true;

  private:
    struct Entry {
        std::string text;
        std::string originalText;
        std::optional<std::uint8_t> originalByte;
    };
    const Entry* Find(int col, int row) const;
    Entry* Find(int col, int row);

    int cols_ = 0;
    int rows_ = 0;
    std::vector<Entry> cells_;  // row-major
};

}  // namespace veltrano
