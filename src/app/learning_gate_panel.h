// Why learning waits: the gate that refused the newest record, and the records each gate
// refused since connect. Lives on the "Настройка" tab.
#pragma once

#include <QFrame>

#include "learning/learning_options.h"
#include "learning/learning_view.h"

class QLabel;

namespace veltrano {

class LearningGatePanel : public QFrame {
    Q_OBJECT
  public:
    explicit LearningGatePanel(QWidget* parent = nullptr);

    void Show(const LearningShown& shown, const LearningOptions& options);
    // Back to the empty panel (a new connection).
    void Clear();

    QLabel* Reason() const { return reason_; }
    QLabel* Counts() const { return counts_; }
    // The name of a gate in the counts ("ДТОЖ ниже 60", "нет стационарности").
    static QString GateName(LearningGate gate, const LearningOptions& options);

  private:
    QLabel* reason_ = nullptr;
    QLabel* counts_ = nullptr;
};

}  // namespace veltrano
