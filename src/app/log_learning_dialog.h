// The fuel table proposed by learning over a recorded log: the table with the cells that
// differ from the current one marked, and what the run saw. "Применить" takes it.
#pragma once

#include <QDialog>

#include "analysis/offline_learning.h"

class QLabel;
class QPushButton;
class QTableWidget;

namespace veltrano {

class LogLearningDialog : public QDialog {
    Q_OBJECT
  public:
    LogLearningDialog(OfflineLearningResult result, const LearningOptions& options,
                      const QString& name, QWidget* parent = nullptr);

    const OfflineLearningResult& Result() const { return result_; }
    QTableWidget* Table() const { return table_; }
    QLabel* Summary() const { return summary_; }
    QPushButton* ApplyButton() const { return apply_; }
    // Cells marked as changed, (c, r) 1..16.
    QList<QPoint> MarkedCells() const;

  signals:
    void applyRequested(const TextGrid& table);

  private:
    OfflineLearningResult result_;
    QTableWidget* table_ = nullptr;
    QLabel* summary_ = nullptr;
    QPushButton* apply_ = nullptr;
};

}  // namespace veltrano
