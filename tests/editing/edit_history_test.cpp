#include "editing/edit_history.h"

#include <gtest/gtest.h>

#include "editing/table_editor.h"

namespace veltrano {
namespace {

TableEdit OneCell(const std::string& what, const std::string& before, const std::string& after) {
    TableEdit e;
    e.what = what;
    TextGrid::CellState b, a;
    b.text = before;
    a.text = after;
    e.cells.push_back({TableId::PCN, {1, 1}, b, a});
    return e;
}

TEST(EditHistory, UndoAndRedoTakeStepsBackAndForth) {
    CalibrationGrids grids;
    TFirmware fw;
    EditHistory h;
    h.Push(OneCell("a", "", "1"));
    h.Push(OneCell("b", "1", "2"));
    h.Push(TableEdit{"empty", {}, {}});  // changes nothing: no step
    EXPECT_EQ(h.UndoSteps(), 2u);
    EXPECT_EQ(h.UndoWhat(), "b");
    ASSERT_TRUE(h.Undo(grids, fw));
    EXPECT_EQ(grids.SG_PCN.Cell(1, 1), "1");
    EXPECT_EQ(h.RedoWhat(), "b");
    ASSERT_TRUE(h.Redo(grids, fw));
    EXPECT_EQ(grids.SG_PCN.Cell(1, 1), "2");
    h.Undo(grids, fw);
    h.Push(OneCell("c", "1", "3"));  // a new edit drops what could be redone
    EXPECT_FALSE(h.CanRedo());
    EXPECT_FALSE(h.Redo(grids, fw));
}

TEST(EditHistory, KeepsTheLastThousandSteps) {
    CalibrationGrids grids;
    TFirmware fw;
    EditHistory h;
    for (int i = 0; i < 1200; ++i)
        h.Push(OneCell(std::to_string(i), std::to_string(i), std::to_string(i + 1)));
    EXPECT_EQ(h.UndoSteps(), 1000u);
    int undone = 0;
    while (h.Undo(grids, fw))
        ++undone;
    EXPECT_EQ(undone, 1000);
    EXPECT_EQ(grids.SG_PCN.Cell(1, 1), "200");
}

TEST(TableEditor, AnotherImageClearsTheHistoryAndEveryChangeIsAnnounced) {
    Calibration c;
    c.firmware.FFirmwareData.assign(65536, 0);
    c.layout.FirmwareLoaded = true;
    c.layout.StartAddrPCN = 0x7CF7;
    c.layout.StartAddrBCN = 0x7BF7;
    TableEditor editor(c);
    editor.ImageOpened();
    std::vector<TableChange> heard;
    const int id = editor.Changes().Subscribe([&](const TableChange& ch) { heard.push_back(ch); });
    editor.Record("typed", {TableId::PCN, TableId::BCN}, [&] {
        c.grids.SG_PCN.SetCell(2, 3, "1,5");
        c.grids.SG_PCN.SetCell(4, 5, "1,5");
    });
    ASSERT_EQ(heard.size(), 1u);
    EXPECT_EQ(heard[0].table, TableId::PCN);
    EXPECT_EQ(heard[0].cells, (std::vector<CellRef>{{2, 3}, {4, 5}}));
    EXPECT_EQ(heard[0].source, ChangeSource::Value);
    editor.Undo();
    ASSERT_EQ(heard.size(), 2u);
    EXPECT_EQ(heard[1].source, ChangeSource::History);
    editor.Changes().Unsubscribe(id);
    editor.Redo();
    EXPECT_EQ(heard.size(), 2u);
    EXPECT_TRUE(editor.History().CanUndo());
    // A learning update recorded before the next open is not pushed after it.
    const std::uint64_t before = editor.Generation();
    editor.ImageOpened();
    EXPECT_FALSE(editor.History().CanUndo());
    EXPECT_FALSE(editor.History().CanRedo());
    TableEdit late;
    late.cells.push_back({TableId::PCN, {1, 1}, {}, {}});
    late.cells.back().after.text = "1";
    editor.Push(late, before);
    EXPECT_FALSE(editor.History().CanUndo());
    editor.Push(late, editor.Generation());
    EXPECT_TRUE(editor.History().CanUndo());
}

TEST(TableEditor, ATableWhoseAddressIsUnknownTakesNoEdit) {
    Calibration c;
    c.firmware.FFirmwareData.assign(65536, 0);
    c.layout.FirmwareLoaded = true;
    c.layout.StartAddrPCN = 0;
    TableEditor editor(c);
    editor.ImageOpened();
    bool ran = false;
    const TableEdit edit = editor.Record("typed", {TableId::PCN}, [&] {
        ran = true;
        c.grids.SG_PCN.SetCell(2, 3, "1,5");
    });
    EXPECT_FALSE(ran);
    EXPECT_TRUE(edit.Empty());
    EXPECT_FALSE(editor.History().CanUndo());
    EXPECT_TRUE(editor.RevertCells(TableId::PCN, {{2, 3}}).Empty());
    EXPECT_TRUE(editor.DifferingCells(TableId::PCN).empty());
}

}  // namespace
}  // namespace veltrano
