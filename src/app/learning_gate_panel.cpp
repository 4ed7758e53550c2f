#include "app/learning_gate_panel.h"

#include <QLabel>
#include <QVBoxLayout>

#include "app/app_texts.h"
#include "app/elided_label.h"
#include "learning/learning_gate.h"
#include "learning/learning_texts.h"

namespace veltrano {
namespace t = app_texts;

LearningGatePanel::LearningGatePanel(QWidget* parent) : QFrame(parent) {
    setObjectName("LearningGatePanel");
    setFrameShape(QFrame::StyledPanel);
    auto* col = new QVBoxLayout(this);
    col->setContentsMargins(4, 2, 4, 2);
    col->setSpacing(1);
    // One line each: the counts grow with every gate that refuses, the tooltip keeps them all.
    reason_ = new ElidedLabel(QString(), this, QString());
    reason_->setObjectName("GateReason");
    counts_ = new ElidedLabel(QString(), this, QString());
    counts_->setObjectName("GateCounts");
    QFont small = counts_->font();
    small.setPointSizeF(small.pointSizeF() * 0.9);
    counts_->setFont(small);
    col->addWidget(reason_);
    col->addWidget(counts_);
    Clear();
}

void LearningGatePanel::Clear() {
    reason_->setText(QString(t::kGateWaits) + "—");
    reason_->setStyleSheet({});
    counts_->setText(QString());
}

QString LearningGatePanel::GateName(LearningGate gate, const LearningOptions& options) {
    if (gate == LearningGate::Admitted)
        return t::kGateSamples;
    if (gate == LearningGate::NotStationary)
        return QString::fromUtf8(kGateNotStationary).trimmed();
    return QString::fromStdString(GateText(gate, options));
}

void LearningGatePanel::Show(const LearningShown& shown, const LearningOptions& options) {
    const bool admitted = shown.gate == LearningGate::Admitted;
    const QString text = admitted ? QString(t::kGateAdmitted)
                                  : t::kGateWaits + QString::fromStdString(shown.gateText);
    if (reason_->text() != text) {
        reason_->setText(text);
        reason_->setStyleSheet(admitted ? "color: rgb(0, 110, 0);" : "color: rgb(170, 0, 0);");
    }
    QStringList parts;
    // The refusing gates in their order, the samples last.
    for (std::size_t k = 1; k <= kLearningGateCount; ++k) {
        const std::size_t g = k % kLearningGateCount;
        if (shown.gateCounts[g] > 0)
            parts << GateName(LearningGate(g), options) + ": " +
                         QString::number(shown.gateCounts[g]);
    }
    const QString counts = parts.join("; ");
    if (counts_->text() != counts)
        counts_->setText(counts);
}

}  // namespace veltrano
