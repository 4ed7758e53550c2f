// The grids' key editors, transforms, ignition generator and the apply button, handed to
// the editing and learning layers.
#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>

#include "app/main_window.h"

namespace veltrano {

void TMainForm::InstallEditors() {
    for (GridView* g : grids_) {
        connect(g, &QObject::destroyed, this, [] {});
        g->onKey = [this, g](char32_t key) { EditKey(g, key); };
    }
}

void TMainForm::EditKey(GridView*, char32_t) {}

void TMainForm::Transform(TransformKind) {}

void TMainForm::GenerateUoz() {}

void TMainForm::ApplyChanges() {}

void TMainForm::SwitchPcnTable(bool) {}

}  // namespace veltrano
