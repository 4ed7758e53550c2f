// The right tab "Настройка": write target, lambda source, learning options, actions and the
// live read-outs.
#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/app_texts.h"
#include "app/learning_gate_panel.h"
#include "app/live_panels.h"
#include "app/main_window.h"
#include "app/precise_controls.h"
#include "learning/learning_options.h"

namespace veltrano {
namespace t = app_texts;

namespace {

QGroupBox* RadioRow(QWidget* parent, QHash<QString, QWidget*>& controls,
                    std::initializer_list<std::pair<const char*, const char*>> items) {
    auto* box = new QGroupBox(parent);
    auto* row = new QHBoxLayout(box);
    // Five radios share the source row at the tab's fixed width: no room to spare.
    row->setContentsMargins(1, 2, 1, 2);
    row->setSpacing(0);
    auto* group = new QButtonGroup(box);
    for (const auto& [name, caption] : items) {
        auto* radio = new QRadioButton(caption, box);
        radio->setObjectName(name);
        radio->setEnabled(false);
        group->addButton(radio);
        row->addWidget(radio);
        controls.insert(name, radio);
    }
    return box;
}

}  // namespace

void TMainForm::BuildRightTab() {
    rightTabs_ = new QTabWidget(this);
    rightTabs_->setObjectName("RzPageControl2");
    rightTabs_->setFixedWidth(318);
    auto* page = new QWidget(rightTabs_);
    auto* col = new QVBoxLayout(page);
    col->setContentsMargins(1, 3, 1, 3);
    col->setSpacing(3);

    col->addWidget(RadioRow(page, controls_,
                            {{"RadioOlt", t::kRadioOlt},
                             {"RadioRam", t::kRadioRam},
                             {"RadioRamUoz", t::kRadioRamUoz}}));
    auto* sources = RadioRow(page, controls_,
                             {{"RadioDK", t::kRadioDk},
                              {"RadioVoltDk", t::kRadioVoltDk},
                              {"RadioLAM_SHDK", t::kRadioShdk}});
    auto* alg = new QRadioButton(t::kRadioAlg2, sources);
    alg->setObjectName("RadioButton2");
    alg->setChecked(true);
    alg->setEnabled(false);
    new QButtonGroup(alg);
    sources->layout()->addWidget(alg);
    controls_.insert("RadioButton2", alg);
    col->addWidget(sources);
    precise_ = new PreciseControls(
        sources, alg, engine_, [this] { return Grid(ActivePage() == kRt ? "SG_RT" : "SG_PCN"); },
        [this] {
            PushOptions();
            for (GridView* g : grids_)
                g->viewport()->update();
        });
    controls_.insert("RadioPrecise", precise_->Radio());

    auto* checks = new QGridLayout();
    checks->setVerticalSpacing(0);
    const std::pair<const char*, const char*> boxes[] = {{"CheckBox1", t::kRememberMovement},
                                                         {"CheckBox4", t::kAutoSmoothing},
                                                         {"CheckBox7", t::kSkipBelow2Tps},
                                                         {"CheckBox2", t::kLearnTrt}};
    int i = 0;
    for (const auto& [name, caption] : boxes) {
        auto* box = new QCheckBox(caption, page);
        box->setObjectName(name);
        checks->addWidget(box, i++, 0);
        controls_.insert(name, box);
    }
    Control<QCheckBox>("CheckBox7")->setChecked(true);
    connect(Control<QCheckBox>("CheckBox2"), &QCheckBox::clicked, this, &TMainForm::SwitchPcnTable);
    col->addLayout(checks);

    auto* spins = new QGridLayout();
    spins->setVerticalSpacing(0);
    const std::tuple<const char*, const char*, SpinRange> spinList[] = {
        {"RzSpinEdit1", t::kRequestDelay, kRequestDelayRange},
        {"RzSpinEdit3", t::kLearnCoolant, kLearnCoolantRange},
        {"RzSpinEdit4", t::kHitsPerPoint, kHitsPerPointRange}};
    i = 0;
    for (const auto& [name, caption, range] : spinList) {
        auto* label = new QLabel(caption, page);
        label->setWordWrap(true);
        label->setAlignment(Qt::AlignCenter);
        spins->addWidget(label, 0, i);
        auto* spin = new QSpinBox(page);
        spin->setObjectName(name);
        spin->setRange(range.min, range.max);
        spin->setValue(range.start);
        connect(spin, &QSpinBox::valueChanged, this, &TMainForm::WriteLearningBoxes);
        spins->addWidget(spin, 1, i++);
        controls_.insert(name, spin);
    }
    col->addLayout(spins);

    auto* buttons = new QGridLayout();
    const std::pair<const char*, const char*> actions[] = {{"Button1", t::kApplyChanges},
                                                           {"Button2", t::kResetMovement},
                                                           {"Button6", t::kResetLearning}};
    i = 0;
    for (const auto& [name, caption] : actions) {
        auto* b = new QPushButton(caption, page);
        b->setObjectName(name);
        if (i > 0)
            buttons->addWidget(b, 1, i - 1);
        controls_.insert(name, b);
        ++i;
    }
    auto* applyRow = new QHBoxLayout();
    applyRow->addWidget(Control<QPushButton>("Button1"), 1);
    applyRow->addWidget(precise_->MenuButton());
    buttons->addLayout(applyRow, 0, 0, 1, 2);
    connect(Control<QPushButton>("Button1"), &QPushButton::clicked, this, &TMainForm::ApplyChanges);
    connect(Control<QPushButton>("Button2"), &QPushButton::clicked, this, [this] {
        engine_.ResetMovement();
        for (auto& column : paint_.MovementMap)
            column.fill(0);
        Grid("SG_RT")->viewport()->update();
        Grid("SG_PCN")->viewport()->update();
    });
    connect(Control<QPushButton>("Button6"), &QPushButton::clicked, this, [this] {
        engine_.ResetLearning();
        for (auto& column : paint_.LearnHits)
            column.fill(0);
    });
    col->addLayout(buttons);

    auto* panels = new QGridLayout();
    panels->setHorizontalSpacing(3);
    panels->setVerticalSpacing(0);
    const auto& list = TuningPanels();
    for (size_t k = 0; k < list.size(); ++k) {
        const int row = int(k / 4) * 2, column = int(k % 4);
        auto* caption = new QLabel(list[k].caption, page);
        caption->setAlignment(Qt::AlignCenter);
        panels->addWidget(caption, row, column);
        QLabel* panel = AddPanel(list[k].panel);
        panel->setFixedHeight(24);
        panels->addWidget(panel, row + 1, column);
    }
    col->addLayout(panels);

    auto* dk = new QHBoxLayout();
    for (const auto& [name, text] :
         {std::pair{"LDK_ZONE", t::kDkZoneNo}, std::pair{"Label19", t::kDkReadyNo}}) {
        auto* label = new QLabel(text, page);
        label->setObjectName(name);
        dk->addWidget(label);
        controls_.insert(name, label);
    }
    col->addLayout(dk);
    gatePanel_ = new LearningGatePanel(page);
    col->addWidget(gatePanel_);
    for (const char* name :
         {"RadioOlt", "RadioRam", "RadioRamUoz", "RadioDK", "RadioVoltDk", "RadioLAM_SHDK"})
        connect(Control<QRadioButton>(name), &QRadioButton::toggled, this, &TMainForm::PushOptions);
    for (const char* name : {"CheckBox1", "CheckBox4", "CheckBox7"})
        connect(Control<QCheckBox>(name), &QCheckBox::toggled, this, &TMainForm::PushOptions);
    col->addStretch(1);
    rightTabs_->addTab(page, t::kRightTab);
}

}  // namespace veltrano
