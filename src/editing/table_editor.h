// The edit model of the open image: every change of table cells is recorded here as one edit,
// undone and redone here, and announced as "table changed". It also keeps the image as opened
// (or another image to compare with) for the compare marks and for reverting cells.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "calibration/calibration_file.h"
#include "editing/edit_history.h"
#include "editing/table_changes.h"
#include "editing/table_edit.h"

namespace veltrano {

class TableEditor {
  public:
    // `gridsMutex`, when given, is held while cells change; listeners are told after it is
    // released.
    explicit TableEditor(Calibration& calibration, std::mutex* gridsMutex = nullptr);

    // A new image was opened: it becomes the reference, and the history starts empty.
    void ImageOpened();
    // The grids now show other tables (the PCN switch): the recorded steps no longer apply.
    void ForgetHistory();
    // Changes with every open and every ForgetHistory: an edit recorded under an older one is
    // dropped by Push.
    std::uint64_t Generation() const { return generation_.load(); }

    // A table takes edits only while an image is open and the layout knows where it lies.
    bool Editable(TableId id) const;

    // The on-line write of a changed table, called with the grids' lock held after a typed
    // value, a paste, the selection maths, a revert, an undo or a redo. Key steps, transforms,
    // the generator and learning make their own requests.
    void SetOnlineWrite(std::function<void(TableId)> write) { onlineWrite_ = std::move(write); }

    // Runs `change` (which edits cells of `tables` and may write image bytes) as one edit;
    // nothing runs when a table does not take edits. Returns the edit (empty when nothing
    // changed).
    TableEdit Record(const std::string& what, const std::vector<TableId>& tables,
                     const std::function<void()>& change,
                     ChangeSource source = ChangeSource::Value);
    // An edit already applied elsewhere (a learning update) joins the history, unless it was
    // recorded under another generation.
    void Push(TableEdit edit, std::uint64_t generation,
              ChangeSource source = ChangeSource::Learning);

    std::optional<TableEdit> Undo();
    std::optional<TableEdit> Redo();
    const EditHistory& History() const { return history_; }
    TableChanges& Changes() { return changes_; }
    CalibrationGrids& Grids() { return c_.grids; }

    // Compare: the reference is the image as opened unless another image was chosen.
    const std::vector<std::uint8_t>& Opened() const { return opened_; }
    void SetReference(std::vector<std::uint8_t> bytes) { reference_ = std::move(bytes); }
    void CompareWithOpened() { reference_ = opened_; }
    // Empty when `bytes` is an image of the open image's variant, with its tables at the same
    // places; otherwise the message that refuses it.
    std::string CheckSameVariant(const std::vector<std::uint8_t>& bytes) const;

    // The byte the cell stands for now, and the reference's byte at the same place.
    std::optional<std::uint8_t> CurrentByte(TableId id, CellRef cell) const;
    std::optional<std::uint8_t> ReferenceByte(TableId id, CellRef cell) const;
    // Cells whose byte differs from the reference's.
    std::vector<CellRef> DifferingCells(TableId id) const;
    // Sets the cells back to the reference's bytes as one edit.
    TableEdit RevertCells(TableId id, const std::vector<CellRef>& cells);

    int BcnMultiplier() const;

  private:
    void Announce(const TableEdit& edit, ChangeSource source);
    void WriteOnline(const TableEdit& edit);
    std::unique_lock<std::mutex> Lock();

    Calibration& c_;
    std::mutex* mutex_;
    EditHistory history_;
    TableChanges changes_;
    std::function<void(TableId)> onlineWrite_;
    std::atomic<std::uint64_t> generation_{0};
    std::vector<std::uint8_t> opened_;
    std::vector<std::uint8_t> reference_;
};

}  // namespace veltrano
