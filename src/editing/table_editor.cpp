#include "editing/table_editor.h"

#include "common/text_forms.h"
#include "editing/editing_texts.h"

namespace veltrano {

TableEditor::TableEditor(Calibration& calibration, std::mutex* gridsMutex)
    : c_(calibration), mutex_(gridsMutex) {}

std::unique_lock<std::mutex> TableEditor::Lock() {
    return mutex_ != nullptr ? std::unique_lock<std::mutex>(*mutex_)
                             : std::unique_lock<std::mutex>();
}

void TableEditor::ImageOpened() {
    {
        auto lock = Lock();
        opened_ = c_.firmware.FFirmwareData;
    }
    reference_ = opened_;
    ForgetHistory();
}

void TableEditor::ForgetHistory() {
    history_.Clear();
    ++generation_;
}

bool TableEditor::Editable(TableId id) const {
    return c_.layout.FirmwareLoaded && StartOf(id, c_.layout) && GridOf(c_.grids, id).Enabled;
}

std::string TableEditor::CheckSameVariant(const std::vector<std::uint8_t>& bytes) const {
    namespace tx = editing_texts;
    Calibration other;
    SilentMessages quiet;
    const bool opened = OpenCalibrationBytes(bytes, quiet, other, DecimalSeparator());
    const std::string& mine = c_.layout.firmwareName;
    bool same = opened && other.layout.firmwareName == mine &&
                bytes.size() == c_.firmware.FFirmwareData.size();
    for (TableId id : kAllTables)
        same = same && StartOf(id, other.layout) == StartOf(id, c_.layout);
    if (same)
        return {};
    const std::string theirs = opened && !other.layout.firmwareName.empty()
                                   ? other.layout.firmwareName
                                   : std::string(tx::kUnknownVariant);
    return std::string(tx::kOtherVariantPrefix) + theirs + tx::kOtherVariantMiddle +
           (mine.empty() ? std::string(tx::kUnknownVariant) : mine) + tx::kOtherVariantEnd;
}

int TableEditor::BcnMultiplier() const {
    return veltrano::BcnMultiplier(c_.firmware);
}

TableEdit TableEditor::Record(const std::string& what, const std::vector<TableId>& tables,
                              const std::function<void()>& change, ChangeSource source) {
    for (TableId id : tables) {
        if (!Editable(id))
            return {};
    }
    TableEdit edit;
    {
        auto lock = Lock();
        const EditRecorder recorder(c_.grids, &c_.firmware, tables);
        change();
        if (source == ChangeSource::Value && onlineWrite_) {
            for (TableId id : tables)
                onlineWrite_(id);
        }
        edit = recorder.Finish(what, c_.grids, &c_.firmware);
    }
    if (!edit.Empty()) {
        history_.Push(edit);
        Announce(edit, source);
    }
    return edit;
}

void TableEditor::Push(TableEdit edit, std::uint64_t generation, ChangeSource source) {
    if (edit.Empty() || generation != generation_.load())
        return;
    const TableEdit copy = edit;
    history_.Push(std::move(edit));
    Announce(copy, source);
}

void TableEditor::WriteOnline(const TableEdit& edit) {
    if (!onlineWrite_)
        return;
    for (TableId id : edit.Tables())
        onlineWrite_(id);
}

std::optional<TableEdit> TableEditor::Undo() {
    std::optional<TableEdit> edit;
    {
        auto lock = Lock();
        edit = history_.Undo(c_.grids, c_.firmware);
        if (edit)
            WriteOnline(*edit);
    }
    if (edit)
        Announce(*edit, ChangeSource::History);
    return edit;
}

std::optional<TableEdit> TableEditor::Redo() {
    std::optional<TableEdit> edit;
    {
        auto lock = Lock();
        edit = history_.Redo(c_.grids, c_.firmware);
        if (edit)
            WriteOnline(*edit);
    }
    if (edit)
        Announce(*edit, ChangeSource::History);
    return edit;
}

void TableEditor::Announce(const TableEdit& edit, ChangeSource source) {
    for (TableId id : edit.Tables())
        changes_.Notify({id, edit.CellsOf(id), source});
}

std::optional<std::uint8_t> TableEditor::CurrentByte(TableId id, CellRef cell) const {
    return CellByteOf(GridOf(c_.grids, id), id, cell.col, cell.row, BcnMultiplier(),
                      DecimalSeparator());
}

std::optional<std::uint8_t> TableEditor::ReferenceByte(TableId id, CellRef cell) const {
    const std::optional<std::size_t> start = StartOf(id, c_.layout);
    const std::optional<std::size_t> index = ByteIndexOf(id, cell.col, cell.row);
    if (!start || !index || *start + *index >= reference_.size())
        return std::nullopt;
    return reference_[*start + *index];
}

std::vector<CellRef> TableEditor::DifferingCells(TableId id) const {
    std::vector<CellRef> out;
    if (!Editable(id))
        return out;
    const ValueArea a = AreaOf(id);
    for (int r = a.firstRow; r <= a.lastRow; ++r) {
        for (int c = a.firstCol; c <= a.lastCol; ++c) {
            const auto ref = ReferenceByte(id, {c, r});
            if (ref && CurrentByte(id, {c, r}) != ref)
                out.push_back({c, r});
        }
    }
    return out;
}

TableEdit TableEditor::RevertCells(TableId id, const std::vector<CellRef>& cells) {
    const int m = BcnMultiplier();
    const char sep = DecimalSeparator();
    return Record(editing_texts::kEditRevert, {id}, [&] {
        TextGrid& grid = GridOf(c_.grids, id);
        std::vector<std::uint8_t>& image = c_.firmware.FFirmwareData;
        const std::size_t start = *StartOf(id, c_.layout);
        for (const CellRef& cell : cells) {
            const auto ref = ReferenceByte(id, cell);
            if (!ref || CellByteOf(grid, id, cell.col, cell.row, m, sep) == ref)
                continue;
            grid.SetDecoded(cell.col, cell.row, ByteTextOf(id, *ref, m, sep), *ref);
            // The tables a save does not encode keep their bytes in the image only.
            image[start + *ByteIndexOf(id, cell.col, cell.row)] = *ref;
        }
    });
}

}  // namespace veltrano
