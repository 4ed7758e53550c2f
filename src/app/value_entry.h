// Numbers put into the table grids by hand: a value typed over the selection (an in-place
// editor), the selection maths dialog, and copy and paste as tab-separated text.
#pragma once

#include <QDialog>
#include <QLineEdit>
#include <QObject>
#include <functional>
#include <mutex>

#include "app/grid_view.h"
#include "editing/cell_values.h"
#include "editing/table_editor.h"

class QMenu;

namespace veltrano {

class QtMessages;

// The in-place editor: Enter commits, Esc or leaving it cancels.
class InPlaceEditor : public QLineEdit {
    Q_OBJECT
  public:
    explicit InPlaceEditor(QWidget* parent);
  signals:
    void committed(const QString& text);
    void cancelled();

  protected:
    void keyPressEvent(QKeyEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;

  private:
    bool done_ = false;
};

// One number for "Установить значение…", "Прибавить…" and "Умножить на %…".
class ValueDialog : public QDialog {
    Q_OBJECT
  public:
    ValueDialog(ValueOp op, QWidget* parent);
    QLineEdit* Field() const { return field_; }
    static QString Title(ValueOp op);

  private:
    QLineEdit* field_;
};

class ValueEntry : public QObject {
    Q_OBJECT
  public:
    ValueEntry(QWidget* window, TableEditor& editor, QtMessages& messages,
               std::function<void(const QString&)> status);

    // Typing keys, Ctrl+C and Ctrl+V on the grids that take values.
    void Attach(GridView* view);
    void AddToMenu(QMenu& menu, GridView* view);

    // Opens the in-place editor over the selection with `start` typed in.
    InPlaceEditor* OpenEditor(GridView* view, const QString& start);
    // Enter in the editor: every selected cell := the number; false when it is not one.
    bool TypeValue(GridView* view, const QString& text);
    // The selection maths with a number already read; false when a cell is not a number.
    bool ApplyMaths(GridView* view, ValueOp op, double x);
    // Asks for the number, then ApplyMaths.
    void AskMaths(GridView* view, ValueOp op);
    void Copy(GridView* view);
    bool Paste(GridView* view);
    bool Paste(GridView* view, const QString& text);

  private:
    bool TypeKey(GridView* view, QKeyEvent* e);
    void NoteClamped(TableId id);

    QWidget* window_;
    TableEditor& editor_;
    QtMessages& messages_;
    std::function<void(const QString&)> status_;
};

}  // namespace veltrano
