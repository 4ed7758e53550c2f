// The grids' key editors, the table menu, the ignition generator, the apply button and the
// PCN switch, handed to the editing and learning layers with the grids' lock held.
#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>

#include "app/app_texts.h"
#include "app/main_window.h"
#include "app/qt_messages.h"
#include "app/table_edit_actions.h"
#include "editing/editing_texts.h"
#include "editing/key_editors.h"
#include "editing/key_groups.h"
#include "editing/pcn_online.h"
#include "editing/table_menu.h"
#include "editing/uoz_generator.h"
#include "learning/learning_connection.h"
#include "learning/pcn_update.h"
#include "learning/table_transfer.h"
#include "link/obdii.h"

namespace veltrano {

namespace {

GridSelection ToSelection(const CellRect& r) {
    return {r.left, r.top, r.right, r.bottom};
}

}  // namespace

EditContext TMainForm::MakeEditContext() {
    EditContext ctx;
    ctx.firmware = &calib_.firmware;
    ctx.layout = &calib_.layout;
    ctx.link = link_.get();
    ctx.radios.RadioOlt = Control<QRadioButton>("RadioOlt")->isChecked();
    ctx.radios.RadioRam = Control<QRadioButton>("RadioRam")->isChecked();
    ctx.radios.RadioRamUoz = Control<QRadioButton>("RadioRamUoz")->isChecked();
    ctx.learning = &pcnListener_;
    ctx.messages = &deferred_;
    ctx.sep = DecimalSeparator();
    ctx.SmoothPcnTable = [this] {
        if (!link_)
            return;
        const CellCounts hits = engine_.State().LearnHits;
        link_->WithTables([&](TOBDII& k) {
            SmoothPcnTable(k.TablePCN, hits, calib_.grids.SG_PCN, DecimalSeparator());
            return 0;
        });
    };
    return ctx;
}

void TMainForm::InstallEditors() {
    for (GridView* g : grids_)
        g->onKey = [this, g](char32_t key) { EditKey(g, key); };
}

namespace {

// What a key did, for "Отменить: ...".
const char* KeyEditName(const QString& grid, char32_t key) {
    if (grid == "SG_PCN" || grid == "SG_PCN_32x32") {
        if (KeyGroupOf(key) == KeyGroup::kInterpolateX)
            return editing_texts::kEditInterpolateX;
        if (KeyGroupOf(key) == KeyGroup::kInterpolateY)
            return editing_texts::kEditInterpolateY;
    }
    return editing_texts::kEditKeyStep;
}

}  // namespace

void TMainForm::EditKey(GridView* view, char32_t key) {
    CalibrationGrids& g = calib_.grids;
    const QString name = view->objectName();
    EditContext ctx = MakeEditContext();
    const GridSelection sel = ToSelection(view->Selection());
    bool editable = true;
    auto press = [&] {
        if (name == "SG_PCN")
            SG_PCNKeyPress(ctx, g.SG_PCN, sel, key);
        else if (name == "SG_PCN_32x32")
            SG_PCN_32x32KeyPress(ctx, g.SG_PCN_32x32, sel, key);
        else if (name == "SG_BCN")
            SG_BCNKeyPress(ctx, g.SG_BCN, sel, key);
        else if (name == "SG_UOZ")
            SG_UOZKeyPress(ctx, g.SG_UOZ, sel, key);
        else if (name == "SG_AFR")
            SG_AFRKeyPress(ctx, g.SG_AFR, sel, key);
        else if (name == "RzStringGrid1")
            RzStringGrid1KeyPress(ctx, g.RzStringGrid1, sel, key);
        else if (name == "RzStringGrid3")
            RzStringGrid3KeyPress(ctx, g.RzStringGrid3, key);
        else if (name == "RzStringGrid4")
            RzStringGrid4KeyPress(ctx, g.RzStringGrid4, sel, key);
        else if (name == "RzStringGrid5")
            RzStringGrid5KeyPress(ctx, g.RzStringGrid5, sel, key);
        else if (name == "RzStringGrid6")
            RzStringGrid6KeyPress(ctx, g.RzStringGrid6, sel, key);
        else if (name == "RzStringGrid7")
            RzStringGrid7KeyPress(ctx, g.RzStringGrid7, key);
        else if (name == "RzStringGrid8")
            RzStringGrid8KeyPress(ctx, g.RzStringGrid8, key);
        else if (name == "SG_Min_Inj_Time")
            SG_Min_Inj_TimeKeyPress(ctx, g.SG_Min_Inj_Time, key);
        else
            editable = false;  // the live and the extra PCN grids are not editable
    };
    if (const auto id = TableByGridName(name.toStdString())) {
        tableEditor_->Record(KeyEditName(name, key), {*id}, press, ChangeSource::Handler);
    } else {
        std::lock_guard<std::mutex> lock(gridsMutex_);
        press();
    }
    if (!editable)
        return;
    view->Model()->Reload();
    ReplayDeferred();
}

void TMainForm::Transform(TransformKind kind) {
    const int page = ActivePage();
    if (page < kBcn || page > kUoz)
        return;
    static const char* const names[] = {"SG_BCN", "SG_PCN", "SG_AFR", "SG_UOZ"};
    GridView* view = Grid(names[page]);
    EditContext ctx = MakeEditContext();
    const GridSelection sel = ToSelection(view->Selection());
    const char* what = kind == TransformKind::X   ? editing_texts::kEditInterpolateX
                       : kind == TransformKind::Y ? editing_texts::kEditInterpolateY
                                                  : editing_texts::kEditSmooth;
    const TableId id = *TableByGridName(names[page]);
    tableEditor_->Record(
        what, {id},
        [&] {
            if (kind == TransformKind::X)
                N1Click(ctx, calib_.grids, page, sel);
            if (kind == TransformKind::Y)
                Y1Click(ctx, calib_.grids, page, sel);
            if (kind == TransformKind::Smooth)
                N3Click(ctx, calib_.grids, page);
        },
        ChangeSource::Handler);
    view->Model()->Reload();
    ReplayDeferred();
}

void TMainForm::GenerateUoz() {
    EditContext ctx = MakeEditContext();
    tableEditor_->Record(
        editing_texts::kEditGenerate, {TableId::UOZ},
        [&] { Button3Click(ctx, calib_.grids, loadScale_->text().toStdString()); },
        ChangeSource::Handler);
    Grid("SG_UOZ")->Model()->Reload();
    ReplayDeferred();
}

void TMainForm::ApplyChanges() {
    ApplyInputs in;
    in.page = ActivePage();
    in.firmwareLoaded = calib_.layout.FirmwareLoaded;
    in.flagDadUozAfr = calib_.layout.FlagDadUozAfr;
    if (Control<QRadioButton>("RadioOlt")->isChecked())
        in.target = WriteTarget::Olt;
    if (Control<QRadioButton>("RadioRam")->isChecked())
        in.target = WriteTarget::RamPcn;
    if (Control<QRadioButton>("RadioRamUoz")->isChecked())
        in.target = WriteTarget::RamUoz;
    in.bcnMultiplier = calib_.firmware.FlagTRS239 && calib_.firmware.Flag_DAD_BCN ? 2 : 1;
    in.sep = DecimalSeparator();
    ApplyResult result;
    {
        std::lock_guard<std::mutex> lock(gridsMutex_);
        result = veltrano::ApplyChanges(in, calib_.grids, learning_ ? &learning_->Link() : nullptr);
    }
    if (result.error)
        messages_->Warning(result.error->text, app_texts::kErrorCaption);
}

void TMainForm::ApplyPcnTable(const TextGrid& table) {
    EditContext ctx = MakeEditContext();
    tableEditor_->Record(
        editing_texts::kEditLogTable, {TableId::PCN},
        [&] {
            TextGrid& pcn = calib_.grids.SG_PCN;
            for (int c = 1; c <= 16; ++c)
                for (int r = 1; r <= 16; ++r)
                    pcn.SetCell(c, r, table.Cell(c, r));
            // While the link runs the table goes to the ECU as a key edit's would.
            if (ctx.LinkActive() && ReencodePcnOnline(ctx, pcn, 16))
                RequestPcnWrites(ctx);
        },
        ChangeSource::Handler);
    ReplayDeferred();
}

void TMainForm::SwitchPcnTable(bool checked) {
    {
        std::lock_guard<std::mutex> lock(gridsMutex_);
        veltrano::SwitchPcnTable(checked, calib_.firmware, calib_.layout, calib_.grids,
                                 ecuConnected_, learning_ ? &learning_->Link() : nullptr,
                                 DecimalSeparator());
    }
    engine_.SetImage(LearningImageFrom(calib_.firmware, calib_.layout));
    // SG_PCN now shows another table: the steps recorded over the old one no longer apply.
    tableEditor_->ForgetHistory();
    editActions_->RefreshAll();
    Grid("SG_PCN")->Model()->Reload();
    Grid("RzStringGrid2")->Model()->Reload();
}

}  // namespace veltrano

namespace veltrano {

// Boxes raised while the grids' lock was held are shown after it is released: a modal box
// repaints the grids, and painting takes the same lock.
void TMainForm::ReplayDeferred() {
    pcnListener_.Flush();
    const auto entries = std::exchange(deferred_.entries, {});
    for (const auto& e : entries) {
        if (e.kind == "warning")
            messages_->Warning(e.text, e.caption);
        else
            messages_->Information(e.text, e.caption);
    }
}

void TMainForm::PcnListener::PcnRewriteRequested(PcnRewrite kind) {
    (kind == PcnRewrite::Ram ? ram : olt) = true;
}

void TMainForm::PcnListener::Flush() {
    if (engine && olt)
        engine->NotePcnRewrite(false);
    if (engine && ram)
        engine->NotePcnRewrite(true);
    olt = ram = false;
}

}  // namespace veltrano
