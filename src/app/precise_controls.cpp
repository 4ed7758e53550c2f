#include "app/precise_controls.h"

#include <QButtonGroup>
#include <QDialog>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/app_texts.h"
#include "app/grid_view.h"
#include "learning/learning_engine.h"

namespace veltrano {
namespace t = app_texts;

PreciseControls::PreciseControls(QGroupBox* sources, QRadioButton* alg2, LearningEngine& engine,
                                 std::function<GridView*()> selection,
                                 std::function<void()> changed)
    : QObject(sources),
      engine_(engine),
      selection_(std::move(selection)),
      changed_(std::move(changed)) {
    precise_ = new QRadioButton(t::kRadioPrecise, sources);
    precise_->setObjectName("RadioPrecise");
    precise_->setEnabled(false);
    auto* modes = new QButtonGroup(sources);
    modes->addButton(alg2);
    modes->addButton(precise_);
    sources->layout()->addWidget(precise_);
    connect(precise_, &QRadioButton::toggled, this, [this] { changed_(); });

    // One button with a menu keeps the tab's height: the read-outs below need every line.
    QWidget* page = sources->parentWidget();
    menuButton_ = new QToolButton(page);
    menuButton_->setObjectName("PreciseMenu");
    menuButton_->setText(t::kRadioPrecise);
    menuButton_->setPopupMode(QToolButton::InstantPopup);
    auto* menu = new QMenu(menuButton_);
    const std::pair<const char*, const char*> actions[] = {{"ExhaustDelays", t::kExhaustDelays},
                                                           {"LockCells", t::kLockCells},
                                                           {"UnlockCells", t::kUnlockCells}};
    for (const auto& [name, caption] : actions) {
        QAction* a = menu->addAction(caption);
        a->setObjectName(name);
        const std::string which = name;
        connect(a, &QAction::triggered, this, [this, which, page] {
            if (which == "ExhaustDelays")
                EditDelays(page);
            else
                LockSelection(which == "LockCells");
        });
    }
    menuButton_->setMenu(menu);
}

void PreciseControls::Apply(LearningOptions& options) const {
    options.mode = precise_->isChecked() ? LearningMode::Precise : LearningMode::Alg2;
    options.precise.delays = delays_;
}

void PreciseControls::SetDelays(const ExhaustDelayTable& delays) {
    delays_ = delays;
    changed_();
}

void PreciseControls::LockSelection(bool locked) {
    GridView* grid = selection_();
    if (grid == nullptr)
        return;
    const CellRect r = grid->Selection();
    if (r.Empty())
        return;
    for (int c = r.left; c <= r.right; ++c) {
        for (int row = r.top; row <= r.bottom; ++row)
            engine_.SetCellLock(c, row, locked);
    }
    changed_();
}

void PreciseControls::EditDelays(QWidget* parent) {
    QDialog dialog(parent);
    dialog.setWindowTitle(t::kExhaustDelaysCaption);
    auto* layout = new QVBoxLayout(&dialog);
    auto* table = new QTableWidget(ExhaustDelayTable::kRows, ExhaustDelayTable::kColumns, &dialog);
    table->setObjectName("ExhaustDelayTable");
    for (int c = 0; c < ExhaustDelayTable::kColumns; ++c)
        table->setHorizontalHeaderItem(c, new QTableWidgetItem(QString::number(delays_.rpm[c])));
    for (int r = 0; r < ExhaustDelayTable::kRows; ++r) {
        table->setVerticalHeaderItem(r, new QTableWidgetItem(QString::number(delays_.kpa[r])));
        for (int c = 0; c < ExhaustDelayTable::kColumns; ++c)
            table->setItem(r, c, new QTableWidgetItem(QString::number(delays_.ms[r][c])));
    }
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    layout->addWidget(table);
    auto* ok = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    connect(ok, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    connect(ok, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(ok);
    if (dialog.exec() != QDialog::Accepted)
        return;
    ExhaustDelayTable edited = delays_;
    for (int r = 0; r < ExhaustDelayTable::kRows; ++r) {
        for (int c = 0; c < ExhaustDelayTable::kColumns; ++c) {
            bool number = false;
            const double ms = table->item(r, c)->text().replace(',', '.').toDouble(&number);
            if (number && ms >= 0 && ms <= 2000)
                edited.ms[r][c] = ms;
        }
    }
    SetDelays(edited);
}

}  // namespace veltrano
