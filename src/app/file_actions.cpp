// Open, save and export, the grids' context menus and colour rules.
#include <QCheckBox>
#include <QFileDialog>
#include <QMenu>
#include <QRadioButton>
#include <QTabWidget>

#include "app/app_texts.h"
#include "app/main_window.h"
#include "app/qt_messages.h"
#include "calibration/export_file.h"
#include "common/text_forms.h"

namespace veltrano {
namespace t = app_texts;

bool TMainForm::OpenFirmwareFile(const QString& path) {
    if (!OpenCalibration(path.toStdString(), *messages_, calib_, DecimalSeparator()))
        return false;
    setWindowTitle(windowTitle() + "    " + path);
    AfterOpen();
    return true;
}

bool TMainForm::OpenFirmwareBytes(std::vector<std::uint8_t> bytes, const QString& name) {
    {
        std::lock_guard<std::mutex> lock(gridsMutex_);
        if (!OpenCalibrationBytes(std::move(bytes), *messages_, calib_, DecimalSeparator()))
            return false;
    }
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
                             "RadioLAM_SHDK", "RadioButton2"})
        Control<QRadioButton>(name)->setEnabled(true);
    engine_.ImageOpened(LearningImageFrom(calib_.firmware, calib_.layout));
    for (auto& column : paint_.LearnHits)
        column.fill(1);
    ReloadAllGrids();
}

void TMainForm::ReloadAllGrids() {
    for (GridView* g : grids_) {
        g->Model()->Reload();
        g->setEnabled(g->Model()->Grid()->Enabled);
    }
}

void TMainForm::SaveFirmware() {
    if (!calib_.layout.FirmwareLoaded)
        return;
    if (!EncodeGridsForSave(calib_, *messages_, DecimalSeparator()))
        return;
    QString filter = "Bin (*.bin)";
    const QString path =
        QFileDialog::getSaveFileName(this, QString(), QString(), t::kSaveFilter, &filter);
    if (path.isEmpty())
        return;
    WriteFileAtomically(path.toStdString(), calib_.firmware.FFirmwareData, *messages_);
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
    const QString path =
        QFileDialog::getSaveFileName(this, QString(), QString(), t::kSaveFilter, &filter);
    if (path.isEmpty())
        return;
    SaveTableOne(path.toStdString(), lines, *messages_);
}

void TMainForm::ShowGridMenu(GridView* grid, const QPoint& pos, bool second) {
    QMenu menu(grid);
    if (second) {
        menu.addAction(t::kMenuExportSecond, this, &TMainForm::ExportTable);
    } else {
        menu.addAction(t::kMenuInterpolateX, this, [this] { Transform(TransformKind::X); });
        menu.addAction(t::kMenuInterpolateY, this, [this] { Transform(TransformKind::Y); });
        menu.addAction(t::kMenuSmooth, this, [this] { Transform(TransformKind::Smooth); });
        menu.addAction(t::kMenuExport, this, &TMainForm::ExportTable);
    }
    menu.exec(grid->viewport()->mapToGlobal(pos));
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
        view->Model()->SetMutex(&gridsMutex_);
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
