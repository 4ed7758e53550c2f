// The left tab area: the table grids, DATA, DIAG and the trouble-code tab.
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "app/app_texts.h"
#include "app/elided_label.h"
#include "app/live_panels.h"
#include "app/main_window.h"
#include "app/trouble_codes_panel.h"

namespace veltrano {
namespace t = app_texts;

GridView* TMainForm::AddGrid(const QString& name, TextGrid* grid, bool labelRow, bool labelCol) {
    auto* view = new GridView(name, grid, labelRow, labelCol, this);
    grids_.insert(name, view);
    return view;
}

QLabel* TMainForm::AddPanel(const QString& name, bool dark) {
    auto* panel = new ElidedLabel("0", this);
    panel->setObjectName(name);
    panel->setAlignment(Qt::AlignCenter);
    panel->setFrameShape(QFrame::Panel);
    panel->setFrameShadow(QFrame::Sunken);
    panel->setAutoFillBackground(true);
    QPalette pal = panel->palette();
    if (dark) {
        pal.setColor(QPalette::Window, Qt::black);
        pal.setColor(QPalette::WindowText, Qt::yellow);
        QFont f = panel->font();
        f.setBold(true);
        f.setPointSize(11);
        panel->setFont(f);
    }
    panel->setPalette(pal);
    panels_.insert(name, panel);
    return panel;
}

QWidget* TMainForm::BuildTableTab(GridView* grid, QWidget* extra) {
    auto* page = new QWidget(this);
    auto* col = new QVBoxLayout(page);
    col->setContentsMargins(2, 2, 2, 2);
    col->addWidget(grid, 1);
    if (extra)
        col->addWidget(extra);
    return page;
}

QWidget* TMainForm::BuildUozTab() {
    auto* bar = new QWidget(this);
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(0, 0, 0, 0);
    loadScale_ = new QLineEdit(t::kLoadScale, bar);
    loadScale_->setObjectName("Edit2");
    loadScale_->setFixedWidth(60);
    auto* generate = new QPushButton(t::kGenerate, bar);
    generate->setObjectName("Button3");
    connect(generate, &QPushButton::clicked, this, &TMainForm::GenerateUoz);
    row->addWidget(loadScale_);
    row->addWidget(generate);
    row->addStretch(1);
    auto* uoz = Grid("SG_UOZ");
    return BuildTableTab(uoz, bar);
}

QWidget* TMainForm::BuildDataTab() {
    CalibrationGrids& g = calib_.grids;
    auto* page = new QWidget(this);
    auto* col = new QVBoxLayout(page);
    col->setContentsMargins(2, 2, 2, 2);
    col->setSpacing(2);
    auto strip = [&](const char* caption, const QString& name, TextGrid* grid) {
        col->addWidget(new QLabel(caption, page));
        GridView* v = AddGrid(name, grid, true, false);
        const bool wide = name != "RzStringGrid1";
        v->horizontalHeader()->setDefaultSectionSize(wide ? 36 : 43);
        v->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        v->setFixedHeight(wide ? 62 : 46);
        col->addWidget(v);
    };
    strip(t::kInjDynamic, "RzStringGrid1", &g.RzStringGrid1);
    strip(t::kIdleMixture, "RzStringGrid4", &g.RzStringGrid4);
    strip(t::kIdleValve, "RzStringGrid5", &g.RzStringGrid5);
    strip(t::kIdleSpeed, "RzStringGrid6", &g.RzStringGrid6);
    auto* params = new QGridLayout();
    const std::pair<const char*, TextGrid*> singles[] = {{"RzStringGrid3", &g.RzStringGrid3},
                                                         {"RzStringGrid7", &g.RzStringGrid7},
                                                         {"RzStringGrid8", &g.RzStringGrid8},
                                                         {"SG_Min_Inj_Time", &g.SG_Min_Inj_Time}};
    int i = 0;
    for (const auto& [name, grid] : singles) {
        GridView* v = AddGrid(name, grid, false, false);
        v->horizontalHeader()->setDefaultSectionSize(0);
        v->setColumnWidth(0, 170);
        v->setColumnWidth(1, 70);
        v->setFixedSize(244, 24);
        v->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        v->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        params->addWidget(v, i / 2, i % 2);
        ++i;
    }
    params->addWidget(new QLabel("РХХ", page), 0, 2);
    params->addWidget(AddPanel("Panel5", false), 0, 3);
    params->addWidget(new QLabel("АКБ", page), 1, 2);
    params->addWidget(AddPanel("Panel1", false), 1, 3);
    col->addLayout(params);
    col->addStretch(1);
    return page;
}

QWidget* TMainForm::BuildDiagTab() {
    auto* page = new QWidget(this);
    auto* grid = new QGridLayout(page);
    grid->setContentsMargins(4, 4, 4, 4);
    grid->setHorizontalSpacing(4);
    grid->setVerticalSpacing(2);
    const auto& values = DiagValuePanels();
    for (size_t i = 0; i < values.size(); ++i) {
        const int row = int(i / 3), col = int(i % 3) * 2;
        auto* caption = new QLabel(values[i].caption, page);
        caption->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        caption->setWordWrap(true);  // gives the flag captions their room
        grid->addWidget(caption, row, col);
        QLabel* panel = AddPanel(values[i].panel);
        panel->setFixedSize(74, 24);
        const QString name = values[i].panel;
        if (name == "Panel_O2_gotov" || name == "Panel_O2_heater") {
            QPalette pal = panel->palette();
            pal.setColor(QPalette::WindowText, Qt::green);
            panel->setPalette(pal);
        }
        grid->addWidget(panel, row, col + 1);
    }
    const auto& flags = DiagFlagPanels();
    for (size_t i = 0; i < flags.size(); ++i) {
        auto* caption = new QLabel(flags[i].caption, page);
        caption->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        QFont small = caption->font();
        small.setPointSize(8);
        caption->setFont(small);
        caption->setMinimumWidth(caption->sizeHint().width());
        grid->addWidget(caption, int(i), 6);
        QLabel* panel = AddPanel(flags[i].panel);
        panel->setFixedSize(28, 20);
        grid->addWidget(panel, int(i), 7);
    }
    grid->setRowStretch(int(flags.size()), 1);
    return page;
}

QWidget* TMainForm::BuildErrorsTab() {
    troubleCodes_ = new TroubleCodesPanel(this);
    connect(troubleCodes_, &TroubleCodesPanel::clearRequested, this, &TMainForm::ClearTroubleCodes);
    connect(troubleCodes_, &TroubleCodesPanel::readRequested, this, &TMainForm::ReadTroubleCodes);
    controls_.insert("ClearErrorsButton", troubleCodes_->ClearButton());
    controls_.insert("ReadErrorsButton", troubleCodes_->ReadButton());
    return troubleCodes_;
}

void TMainForm::BuildLeftTabs() {
    CalibrationGrids& g = calib_.grids;
    leftTabs_ = new QTabWidget(this);
    leftTabs_->setObjectName("RzPageControl1");
    leftTabs_->setStyleSheet("QTabBar::tab { padding: 3px 4px; }");
    leftTabs_->setUsesScrollButtons(true);
    AddGrid("SG_BCN", &g.SG_BCN, true, true);
    AddGrid("SG_PCN", &g.SG_PCN, true, true);
    AddGrid("SG_AFR", &g.SG_AFR, true, true);
    AddGrid("SG_UOZ", &g.SG_UOZ, true, true);
    AddGrid("SG_RT", &g.SG_RT, true, true);
    AddGrid("SG_PCN_TRT", &g.SG_PCN_TRT, true, true);
    AddGrid("RzStringGrid2", &g.RzStringGrid2, true, true);
    AddGrid("SG_PCN_32", &g.SG_PCN_32, true, true);
    AddGrid("SG_PCN_32x32", &g.SG_PCN_32x32, true, true);
    pages_[kBcn] = BuildTableTab(Grid("SG_BCN"));
    pages_[kPcn] = BuildTableTab(Grid("SG_PCN"));
    pages_[kAfr] = BuildTableTab(Grid("SG_AFR"));
    pages_[kUoz] = BuildUozTab();
    pages_[kRt] = BuildTableTab(Grid("SG_RT"));
    pages_[kPcnTrt] = BuildTableTab(Grid("SG_PCN_TRT"));
    pages_[kData] = BuildDataTab();
    pages_[kDiag] = BuildDiagTab();
    pages_[kErrors] = BuildErrorsTab();
    pages_[kShdk] = BuildTableTab(Grid("RzStringGrid2"));
    pages_[kPcn32] = BuildTableTab(Grid("SG_PCN_32"));
    pages_[kPcn32x32] = BuildTableTab(Grid("SG_PCN_32x32"));
    for (const char* name : {"SG_PCN_32", "SG_PCN_32x32"})
        Grid(name)->horizontalHeader()->setDefaultSectionSize(34);
    for (int i = 0; i < 12; ++i) {
        pageTitles_[i] = t::kTabs[i];
        pages_[i]->setObjectName(QString("TabSheet_%1").arg(i));
        // The 32x32 tabs appear only for images that carry those tables.
        if (i != kPcn32 && i != kPcn32x32) {
            leftTabs_->addTab(pages_[i], pageTitles_[i]);
        } else {
            pages_[i]->setParent(leftTabs_);
            pages_[i]->hide();
        }
    }
    connect(leftTabs_, &QTabWidget::currentChanged, this, [this] {
        if (auto* w = leftTabs_->currentWidget())
            w->update();
    });
}

}  // namespace veltrano
