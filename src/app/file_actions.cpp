// Open, save and export, the grids' context menus and colour rules.
#include <QCheckBox>
#include <QMenu>
#include <QRadioButton>
#include <QTabWidget>

#include "app/app_texts.h"
#include "app/file_dialogs.h"
#include "app/main_window.h"
#include "app/qt_messages.h"
#include "app/table_edit_actions.h"
#include "calibration/export_file.h"
#include "common/text_forms.h"

namespace veltrano {
namespace t = app_texts;

namespace {

// What an open does not own: the generator's base curve and the live-view grids' values.
struct KeptCells {
    std::vector<std::string> baseCurve, rt, shdk;
};

KeptCells Keep(const CalibrationGrids& g) {
    KeptCells k;
    for (int c = 1; c <= 16; ++c) {
        k.baseCurve.push_back(g.SG_UOZ.Cell(c, 17));
        for (int r = 1; r <= 16; ++r) {
            k.rt.push_back(g.SG_RT.Cell(c, r));
            k.shdk.push_back(g.RzStringGrid2.Cell(c, r));
        }
    }
    return k;
}

void Restore(const KeptCells& k, CalibrationGrids& g) {
    size_t i = 0;
    for (int c = 1; c <= 16; ++c) {
        g.SG_UOZ.SetCell(c, 17, k.baseCurve[size_t(c - 1)]);
        for (int r = 1; r <= 16; ++r, ++i) {
            g.SG_RT.SetCell(c, r, k.rt[i]);
            g.RzStringGrid2.SetCell(c, r, k.shdk[i]);
        }
    }
}

}  // namespace

bool TMainForm::OpenFirmwareFile(const QString& path) {
    bool opened = false;
    {
        std::lock_guard<std::mutex> lock(gridsMutex_);
        const KeptCells kept = Keep(calib_.grids);
        opened = OpenCalibration(path.toStdString(), deferred_, calib_, DecimalSeparator());
        if (opened)
            Restore(kept, calib_.grids);
    }
    ReplayDeferred();
    if (!opened)
        return false;
    setWindowTitle(windowTitle() + "    " + path);
    AfterOpen();
    return true;
}

bool TMainForm::OpenFirmwareBytes(std::vector<std::uint8_t> bytes, const QString& name) {
    bool opened = false;
    {
        std::lock_guard<std::mutex> lock(gridsMutex_);
        const KeptCells kept = Keep(calib_.grids);
        opened = OpenCalibrationBytes(std::move(bytes), deferred_, calib_, DecimalSeparator());
        if (opened)
            Restore(kept, calib_.grids);
    }
    ReplayDeferred();
    if (!opened)
        return false;
    setWindowTitle(windowTitle() + "    " + name);
    AfterOpen();
    return true;
}

void TMainForm::AfterOpen() {
    const CalibrationGrids& g = calib_.grids;
    SetTabShown(kPcnTrt, g.ShowPcnTrtTab);
    SetTabShown(kPcn32, g.ShowPcn32Tab);
    SetTabShown(kPcn32x32, g.ShowPcnDad32x32Tab);
    Control<QCheckBox>("CheckBox2")->setVisible(g.ShowLearnTrtOption);
    for (const char* name : {"RadioOlt", "RadioRam", "RadioRamUoz", "RadioDK", "RadioVoltDk",
                             "RadioLAM_SHDK", "RadioButton2", "RadioPrecise"})
        Control<QRadioButton>(name)->setEnabled(true);
    {
        std::lock_guard<std::mutex> lock(gridsMutex_);
        unsaved_.MarkSaved(calib_.grids);
    }
    engine_.ImageOpened(LearningImageFrom(calib_.firmware, calib_.layout));
    for (auto& column : paint_.LearnHits)
        column.fill(1);
    const FirmwareLayout& l = calib_.layout;
    const std::pair<const char*, std::uint16_t> tables[] = {{"SG_PCN", l.StartAddrPCN},
                                                            {"SG_BCN", l.StartAddrBCN},
                                                            {"SG_UOZ", l.StartAddrUOZ},
                                                            {"SG_AFR", l.StartAddrAFR}};
    for (const auto& [name, start] : tables)
        Grid(name)->SetNotice(TableAddressKnown(start) ? "" : t::kTableAddressesUnknown);
    tableEditor_->ImageOpened();
    ReloadAllGrids();
    editActions_->RefreshAll();
}

void TMainForm::ReloadAllGrids() {
    for (GridView* g : grids_) {
        g->Model()->Reload();
        g->setEnabled(g->Model()->Grid()->Enabled);
    }
}

bool TMainForm::ConfirmDiscardEdits() {
    bool unsaved = false;
    {
        std::lock_guard<std::mutex> lock(gridsMutex_);
        unsaved = unsaved_.HasUnsavedTableEdits(calib_.grids);
    }
    if (!unsaved)
        return true;
    switch (messages_->AskYesNoCancel(t::kSaveChangesQuestion, t::kCaption)) {
        case QtMessages::Answer::Yes:
            return SaveFirmware();
        case QtMessages::Answer::No:
            return true;
        case QtMessages::Answer::Cancel:
            break;
    }
    return false;
}

bool TMainForm::HasUnsavedTableEdits() {
    std::lock_guard<std::mutex> lock(gridsMutex_);
    return unsaved_.HasUnsavedTableEdits(calib_.grids);
}

bool TMainForm::SaveFirmware() {
    if (!calib_.layout.FirmwareLoaded)
        return false;
    bool encoded = false;
    {
        std::lock_guard<std::mutex> lock(gridsMutex_);
        encoded = EncodeGridsForSave(calib_, deferred_, DecimalSeparator());
    }
    ReplayDeferred();
    if (!encoded)
        return false;
    QString filter = "Bin (*.bin)";
    const QString path = AskSaveFileName(this, t::kSaveFilter, &filter);
    if (path.isEmpty())
        return false;
    if (!WriteFileAtomically(path.toStdString(), calib_.firmware.FFirmwareData, *messages_))
        return false;
    std::lock_guard<std::mutex> lock(gridsMutex_);
    unsaved_.MarkSaved(calib_.grids);
    return true;
}

void TMainForm::ExportTable() {
    const auto tab = ExportTabAt(ActivePage());
    if (!tab)
        return;
    static const char* const names[] = {"SG_BCN", "SG_PCN", "SG_AFR", "SG_UOZ"};
    const TextGrid& grid = *Grid(names[int(*tab)])->Model()->Grid();
    const ExportHeader header =
        ExportHeaderFor(*tab, calib_.layout, Control<QCheckBox>("CheckBox2")->isChecked());
    std::vector<std::string> lines;
    {
        std::lock_guard<std::mutex> lock(gridsMutex_);
        lines = ExportLines(grid, header);
    }
    QString filter = "Cte (*.cte)";
    const QString path = AskSaveFileName(this, t::kSaveFilter, &filter);
    if (path.isEmpty())
        return;
    SaveTableOne(path.toStdString(), lines, *messages_);
}

void TMainForm::InstallPaintRules() {
    const std::pair<const char*, PaintedGrid> painted[] = {{"SG_BCN", PaintedGrid::BCN},
                                                           {"SG_PCN", PaintedGrid::PCN},
                                                           {"SG_AFR", PaintedGrid::AFR},
                                                           {"SG_UOZ", PaintedGrid::UOZ},
                                                           {"SG_RT", PaintedGrid::RT},
                                                           {"SG_PCN_TRT", PaintedGrid::PcnTrt},
                                                           {"RzStringGrid2", PaintedGrid::Shdk},
                                                           {"SG_PCN_32", PaintedGrid::Pcn32},
                                                           {"SG_PCN_32x32", PaintedGrid::Pcn32x32}};
    for (const auto& [name, kind] : painted) {
        GridView* view = Grid(name);
        view->paintRule = [this, kind = kind](int c, int r) -> std::optional<CellPaint> {
            const auto colour = PaintCell(kind, c, r, paint_);
            if (!colour)
                return std::nullopt;
            return CellPaint{QColor(colour->fill.r, colour->fill.g, colour->fill.b), colour->textDx,
                             colour->textDy};
        };
    }
    for (GridView* g : grids_)
        g->Model()->SetMutex(&gridsMutex_);
    for (const char* name : {"SG_BCN", "SG_PCN", "SG_AFR", "SG_UOZ"}) {
        GridView* view = Grid(name);
        connect(view, &QWidget::customContextMenuRequested, this,
                [this, view](const QPoint& p) { ShowGridMenu(view, p, false); });
    }
    for (const char* name : {"RzStringGrid2", "SG_PCN_32"}) {
        GridView* view = Grid(name);
        connect(view, &QWidget::customContextMenuRequested, this,
                [this, view](const QPoint& p) { ShowGridMenu(view, p, true); });
    }
}

}  // namespace veltrano
