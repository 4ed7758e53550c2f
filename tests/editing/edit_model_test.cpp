// The table edit model: random edits of every kind on every variant undo to the exact original
// bytes and redo to the edited ones; revert and compare work on exactly the cells they should.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <functional>
#include <random>
#include <set>

#include "calibration/calibration_file.h"
#include "calibration/demo_image.h"
#include "common/text_forms.h"
#include "editing/cell_values.h"
#include "editing/key_editors.h"
#include "editing/pcn_online.h"
#include "editing/table_editor.h"
#include "editing/table_transforms.h"
#include "editing/uoz_generator.h"
#include "learning/pcn_update.h"

namespace veltrano {
namespace {

constexpr char kSep = ',';

// The image the save would write, without touching the calibration.
std::vector<std::uint8_t> SavedBytes(const Calibration& c) {
    Calibration copy = c;
    SilentMessages quiet;
    EXPECT_TRUE(EncodeGridsForSave(copy, quiet, kSep));
    return copy.firmware.FFirmwareData;
}

std::vector<TextGrid::CellState> States(const Calibration& c) {
    std::vector<TextGrid::CellState> out;
    for (TableId id : kAllTables) {
        const ValueArea a = AreaOf(id);
        for (int r = a.firstRow; r <= a.lastRow; ++r) {
            for (int col = a.firstCol; col <= a.lastCol; ++col)
                out.push_back(GridOf(c.grids, id).State(col, r));
        }
    }
    return out;
}

class RandomEdits {
  public:
    RandomEdits(Calibration& c, TableEditor& editor, unsigned seed)
        : c_(c), editor_(editor), rng_(seed) {
        ctx_.firmware = &c_.firmware;
        ctx_.layout = &c_.layout;
        ctx_.sep = kSep;
        for (TableId id : {TableId::PCN, TableId::BCN, TableId::UOZ, TableId::AFR,
                           TableId::InjDynamic, TableId::PCN_32x32}) {
            if (StartOf(id, c_.layout))
                tables_.push_back(id);
        }
    }

    // One edit of a random kind; returns its name.
    std::string Next() {
        const TableId id = tables_[Pick(tables_.size())];
        const GridSelection sel = RandomSelection(id);
        const int m = editor_.BcnMultiplier();
        switch (Pick(10)) {
            case 0:
                return Key(id, sel, Pick(2) ? U'+' : U'-');
            case 1:
                if (id == TableId::PCN || id == TableId::PCN_32x32)
                    return Key(id, sel, Pick(2) ? U'i' : U'p');
                return Record("interpolate", id,
                              [&] { InterpolateX(Grid(id), sel, nullptr, kSep); });
            case 2:
                return Record("smooth", id, [&] {
                    if (AreaOf(id).lastCol == 16 && AreaOf(id).firstCol == 1)
                        SmoothTable(Grid(id), "##0.##", nullptr, kSep);
                });
            case 3:
                return Record("generate", TableId::UOZ,
                              [&] { Button3Click(ctx_, c_.grids, Pick(2) ? "400" : "250"); });
            case 4: {
                const double v = std::uniform_real_distribution<double>(-10, 300)(rng_);
                return Record("typed", id,
                              [&] { ApplyValue(Grid(id), id, sel, ValueOp::Set, v, m, kSep); });
            }
            case 5:
                return Record("maths", id, [&] {
                    ApplyValue(Grid(id), id, sel, Pick(2) ? ValueOp::Add : ValueOp::MultiplyPercent,
                               Pick(2) ? 3.5 : -7, m, kSep);
                });
            case 6:
                return Record("paste", id, [&] {
                    PasteBlock(Grid(id), id, sel.left, sel.top, Pick(2) ? "1\t2,5\n0,5\t7" : "0,02",
                               m, kSep);
                });
            case 7: {
                std::vector<CellRef> cells;
                for (int col = sel.left; col <= sel.right; ++col) {
                    for (int r = sel.top; r <= sel.bottom; ++r)
                        cells.push_back({col, r});
                }
                editor_.RevertCells(id, cells);
                return "revert";
            }
            case 8:
                return Learning();
            default:
                return Record("online", TableId::PCN,
                              [&] { ReencodePcnOnline(ctx_, c_.grids.SG_PCN, 16); });
        }
    }

  private:
    std::size_t Pick(std::size_t n) {
        return std::uniform_int_distribution<std::size_t>(0, n - 1)(rng_);
    }
    TextGrid& Grid(TableId id) { return GridOf(c_.grids, id); }

    GridSelection RandomSelection(TableId id) {
        const ValueArea a = AreaOf(id);
        const int c1 = a.firstCol + static_cast<int>(Pick(a.lastCol - a.firstCol + 1));
        const int c2 = a.firstCol + static_cast<int>(Pick(a.lastCol - a.firstCol + 1));
        const int r1 = a.firstRow + static_cast<int>(Pick(a.lastRow - a.firstRow + 1));
        const int r2 = a.firstRow + static_cast<int>(Pick(a.lastRow - a.firstRow + 1));
        return {std::min(c1, c2), std::min(r1, r2), std::max(c1, c2), std::max(r1, r2)};
    }

    std::string Record(const std::string& what, TableId id, const std::function<void()>& fn) {
        editor_.Record(what, {id}, fn);
        return what;
    }

    std::string Key(TableId id, const GridSelection& sel, char32_t key) {
        return Record("key", id, [&] {
            switch (id) {
                case TableId::PCN:
                    SG_PCNKeyPress(ctx_, c_.grids.SG_PCN, sel, key);
                    break;
                case TableId::PCN_32x32:
                    SG_PCN_32x32KeyPress(ctx_, c_.grids.SG_PCN_32x32, sel, key);
                    break;
                case TableId::BCN:
                    SG_BCNKeyPress(ctx_, c_.grids.SG_BCN, sel, key);
                    break;
                case TableId::UOZ:
                    SG_UOZKeyPress(ctx_, c_.grids.SG_UOZ, sel, key);
                    break;
                case TableId::AFR:
                    SG_AFRKeyPress(ctx_, c_.grids.SG_AFR, sel, key);
                    break;
                default:
                    RzStringGrid1KeyPress(ctx_, c_.grids.RzStringGrid1, sel, key);
                    break;
            }
        });
    }

    // A learning update as the window records it: refreshed from bytes, pushed afterwards.
    std::string Learning() {
        const EditRecorder recorder(c_.grids, nullptr, {TableId::PCN, TableId::BCN});
        std::array<std::uint8_t, 256> bytes{};
        CellCounts hits{};
        for (int r = 1; r <= 16; ++r) {
            for (int col = 1; col <= 16; ++col) {
                bytes[(r - 1) * 16 + col - 1] =
                    CellByteOf(c_.grids.SG_PCN, TableId::PCN, col, r, 1, kSep).value_or(128);
                hits[col][r] = static_cast<int>(Pick(4));
            }
        }
        SmoothPcnTable(bytes, hits, c_.grids.SG_PCN, kSep);
        c_.grids.SG_BCN.SetCell(5, 5, "333");
        editor_.Push(recorder.Finish("learning", c_.grids, nullptr), editor_.Generation());
        return "learning";
    }

    Calibration& c_;
    TableEditor& editor_;
    std::mt19937 rng_;
    EditContext ctx_;
    std::vector<TableId> tables_;
};

std::vector<DemoImageOptions> EveryVariant() {
    std::vector<DemoImageOptions> out;
    for (const std::string& name : DemoVariants()) {
        for (int flags = 0; flags < 3; ++flags) {
            DemoImageOptions o;
            o.variant = name;
            o.dad = flags > 0;
            o.dadUozAfr = flags > 1;
            o.pcnDad32x32 = o.dad;
            out.push_back(o);
        }
    }
    return out;
}

TEST(EditModel, UndoAllGivesTheOriginalBytesAndRedoAllTheEditedOnes) {
    SetDecimalSeparator(kSep);
    unsigned seed = 7;
    for (const DemoImageOptions& options : EveryVariant()) {
        for (int run = 0; run < 3; ++run, ++seed) {
            SCOPED_TRACE(options.variant + " flags " + std::to_string(options.dad) +
                         std::to_string(options.dadUozAfr) + " seed " + std::to_string(seed));
            Calibration c;
            SilentMessages quiet;
            ASSERT_TRUE(OpenCalibrationBytes(MakeDemoImage(options), quiet, c, kSep));
            TableEditor editor(c);
            editor.ImageOpened();
            const auto originalBytes = SavedBytes(c);
            const auto originalStates = States(c);
            RandomEdits edits(c, editor, seed);
            std::string log;
            for (int i = 0; i < 40; ++i)
                log += edits.Next() + ";";
            const auto editedBytes = SavedBytes(c);
            const auto editedStates = States(c);
            while (editor.History().CanUndo())
                editor.Undo();
            ASSERT_EQ(SavedBytes(c), originalBytes) << log;
            ASSERT_EQ(c.firmware.FFirmwareData, editor.Opened()) << log;
            ASSERT_EQ(States(c), originalStates) << log;
            while (editor.History().CanRedo())
                editor.Redo();
            ASSERT_EQ(SavedBytes(c), editedBytes) << log;
            ASSERT_EQ(States(c), editedStates) << log;
        }
    }
}

// The cells whose byte (the grid's own encoding) differs from the image as opened.
std::set<CellRef> DifferingByEncoding(const Calibration& c, const TableEditor& editor, TableId id) {
    std::set<CellRef> out;
    const auto start = StartOf(id, c.layout);
    const ValueArea a = AreaOf(id);
    for (int r = a.firstRow; r <= a.lastRow; ++r) {
        for (int col = a.firstCol; col <= a.lastCol; ++col) {
            const auto index = ByteIndexOf(id, col, r);
            if (!start || !index)
                continue;
            const auto now =
                CellByteOf(GridOf(c.grids, id), id, col, r, editor.BcnMultiplier(), kSep);
            if (now != editor.Opened()[*start + *index])
                out.insert({col, r});
        }
    }
    return out;
}

TEST(EditModel, RevertRestoresExactlyTheSelectedCellsAndCompareMarksExactlyTheDifferingOnes) {
    SetDecimalSeparator(kSep);
    unsigned seed = 100;
    for (const DemoImageOptions& options : EveryVariant()) {
        SCOPED_TRACE(options.variant + " seed " + std::to_string(seed));
        Calibration c;
        SilentMessages quiet;
        ASSERT_TRUE(OpenCalibrationBytes(MakeDemoImage(options), quiet, c, kSep));
        TableEditor editor(c);
        editor.ImageOpened();
        RandomEdits edits(c, editor, seed++);
        for (int i = 0; i < 30; ++i)
            edits.Next();
        for (TableId id : kAllTables) {
            const auto marked = editor.DifferingCells(id);
            EXPECT_EQ(std::set<CellRef>(marked.begin(), marked.end()),
                      DifferingByEncoding(c, editor, id));
        }
        if (!StartOf(TableId::PCN, c.layout))
            continue;
        const auto before = SavedBytes(c);
        std::vector<CellRef> cells;
        for (int col = 3; col <= 9; ++col) {
            for (int r = 2; r <= 5; ++r)
                cells.push_back({col, r});
        }
        editor.RevertCells(TableId::PCN, cells);
        const auto after = SavedBytes(c);
        const std::size_t start = c.layout.StartAddrPCN;
        for (std::size_t i = 0; i < after.size(); ++i) {
            const bool selected = i >= start && i < start + 256 && (i - start) % 16 + 1 >= 3 &&
                                  (i - start) % 16 + 1 <= 9 && (i - start) / 16 + 1 >= 2 &&
                                  (i - start) / 16 + 1 <= 5;
            if (selected) {
                EXPECT_EQ(after[i], editor.Opened()[i]) << i;
            } else if (i < 0xFFF0) {  // the checksum follows the table
                EXPECT_EQ(after[i], before[i]) << i;
            }
        }
        EXPECT_TRUE(editor.DifferingCells(TableId::PCN).empty() ||
                    std::none_of(cells.begin(), cells.end(), [&](const CellRef& cell) {
                        const auto d = editor.DifferingCells(TableId::PCN);
                        return std::find(d.begin(), d.end(), cell) != d.end();
                    }));
    }
}

}  // namespace
}  // namespace veltrano
