#include "app/log_learning_dialog.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "app/app_texts.h"
#include "app/fit_text_delegate.h"
#include "app/learning_gate_panel.h"
#include "common/text_forms.h"

namespace veltrano {
namespace t = app_texts;

namespace {

const QColor kChanged(255, 200, 90);

QString Str(const std::string& s) {
    return QString::fromStdString(s);
}

constexpr int kCellWidth = 48;

}  // namespace

LogLearningDialog::LogLearningDialog(OfflineLearningResult result, const LearningOptions& options,
                                     const QString& name, QWidget* parent)
    : QDialog(parent), result_(std::move(result)) {
    setObjectName("LogLearningDialog");
    setWindowTitle(QString(t::kLearnCaption) + " — " + name);
    auto* col = new QVBoxLayout(this);
    summary_ = new QLabel(this);
    summary_->setObjectName("LearnSummary");
    summary_->setWordWrap(true);
    col->addWidget(summary_);

    table_ = new QTableWidget(16, 16, this);
    table_->setObjectName("LearnTable");
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setItemDelegate(new FitTextDelegate(table_));
    table_->horizontalHeader()->setDefaultSectionSize(kCellWidth);
    table_->verticalHeader()->setDefaultSectionSize(20);
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    const TextGrid& g = result_.SG_PCN;
    for (int k = 1; k <= 16; ++k) {
        table_->setHorizontalHeaderItem(k - 1, new QTableWidgetItem(Str(g.Cell(k, 0))));
        table_->setVerticalHeaderItem(k - 1, new QTableWidgetItem(Str(g.Cell(0, k))));
    }
    for (int c = 1; c <= 16; ++c)
        for (int r = 1; r <= 16; ++r) {
            auto* item = new QTableWidgetItem(Str(g.Cell(c, r)));
            item->setTextAlignment(Qt::AlignCenter);
            const std::size_t i = std::size_t((r - 1) * 16 + (c - 1));
            if (result_.before[i] != result_.after[i]) {
                item->setBackground(kChanged);
                item->setToolTip(
                    QString(t::kLearnWas)
                        .arg(Str(GeneralText(result_.before[i] / 128.0, DecimalSeparator()))));
            }
            table_->setItem(r - 1, c - 1, item);
        }
    table_->setMinimumSize(16 * kCellWidth + 60, 16 * 20 + 30);
    col->addWidget(table_, 1);

    QString text = QString(t::kLearnCounts)
                       .arg(result_.records)
                       .arg(result_.samples)
                       .arg(result_.updates)
                       .arg(result_.cellsChanged);
    QStringList gates;
    for (std::size_t k = 1; k < kLearningGateCount; ++k)
        if (result_.gates[k] > 0)
            gates << LearningGatePanel::GateName(LearningGate(k), options) + ": " +
                         QString::number(result_.gates[k]);
    if (!gates.isEmpty())
        text += "\n" + QString(t::kLearnRefused) + gates.join("; ");
    for (const std::string& s : result_.standIns)
        text += "\n" + Str(s);
    if (!result_.ok)
        text += "\n" + Str(result_.error);
    summary_->setText(text);

    auto* buttons = new QHBoxLayout();
    buttons->addStretch(1);
    apply_ = new QPushButton(t::kApply, this);
    apply_->setObjectName("LearnApply");
    apply_->setEnabled(result_.ok && result_.cellsChanged > 0);
    auto* close = new QPushButton(t::kCancel, this);
    buttons->addWidget(apply_);
    buttons->addWidget(close);
    col->addLayout(buttons);
    connect(apply_, &QPushButton::clicked, this, [this] {
        emit applyRequested(result_.SG_PCN);
        accept();
    });
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
}

QList<QPoint> LogLearningDialog::MarkedCells() const {
    QList<QPoint> out;
    for (int c = 1; c <= 16; ++c)
        for (int r = 1; r <= 16; ++r)
            if (table_->item(r - 1, c - 1)->background().color() == kChanged)
                out << QPoint(c, r);
    return out;
}

}  // namespace veltrano
