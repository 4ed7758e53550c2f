// A grid of cell texts: the working copy of one table as the window shows it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace veltrano {

// Cells are addressed (column, row) as the window's grids are: row 0 holds the column labels,
// column 0 the row labels of a table grid. Beside its text a cell keeps the pair (byte, text) it
// was last set from a byte: while the text is still that text the cell stands for that byte,
// otherwise for the encoding of its text. Only setting a cell from a byte renews the pair.
class TextGrid {
  public:
    TextGrid() = default;
    TextGrid(int colCount, int rowCount);

    int ColCount() const { return cols_; }
    int RowCount() const { return rows_; }
    bool Contains(int col, int row) const;

    // Empty text for a cell outside the grid.
    const std::string& Cell(int col, int row) const;
    // Sets a cell's text (an edit, a label, a parameter); keeps the cell's pair.
    void SetCell(int col, int row, std::string text);
    // Sets a cell's text as shown from `byte`; this renews the pair.
    void SetDecoded(int col, int row, std::string text, std::uint8_t byte);

    // The byte of the cell's pair, if it was ever set from a byte.
    std::optional<std::uint8_t> ShownByte(int col, int row) const;
    // The text of the cell's pair.
    const std::string& ShownText(int col, int row) const;
    // True when the cell has no pair or its text differs from the pair's text.
    bool Modified(int col, int row) const;
    // Puts the pair's text back.
    void Revert(int col, int row);

    // When the cell's text was last set, on one clock shared by every grid: where two grids
    // show the same image byte, the one set last says what the byte is.
    std::uint64_t SetAt(int col, int row) const;

    // A cell's whole state (text, pair and when it was set), so an edit can be undone to the
    // exact byte.
    struct CellState {
        std::string text;
        std::string shownText;
        std::optional<std::uint8_t> shownByte;
        std::uint64_t setAt = 0;
        bool operator==(const CellState&) const = default;
    };
    CellState State(int col, int row) const;
    void SetState(int col, int row, CellState state);
    // Forgets every text and origin.
    void Clear();

    bool Enabled = true;

  private:
    using Entry = CellState;
    const Entry* Find(int col, int row) const;
    Entry* Find(int col, int row);

    int cols_ = 0;
    int rows_ = 0;
    std::vector<Entry> cells_;  // row-major
};

}  // namespace veltrano
