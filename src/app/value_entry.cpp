#include "app/value_entry.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QVBoxLayout>

#include "app/app_texts.h"
#include "app/qt_messages.h"
#include "common/text_forms.h"
#include "editing/editing_texts.h"

namespace veltrano {
namespace t = app_texts;
namespace {

GridSelection ToSelection(const CellRect& r) {
    return {r.left, r.top, r.right, r.bottom};
}

std::optional<TableId> TableOf(const GridView* view) {
    return TableByGridName(view->objectName().toStdString());
}

// The grids whose values are texts a number can be typed into (the DATA byte grids are edited
// as stored bytes only).
bool TakesValues(TableId id) {
    return id != TableId::IdleAfr && id != TableId::IdleValve && id != TableId::IdleRpm;
}

const char* WhatOf(ValueOp op) {
    switch (op) {
        case ValueOp::Set:
            return editing_texts::kEditSet;
        case ValueOp::Add:
            return editing_texts::kEditAdd;
        case ValueOp::MultiplyPercent:
            return editing_texts::kEditMultiply;
    }
    return "";
}

}  // namespace

InPlaceEditor::InPlaceEditor(QWidget* parent) : QLineEdit(parent) {
    setObjectName("InPlaceEditor");
    setFrame(false);
}

void InPlaceEditor::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
        done_ = true;
        emit committed(text());
        return;
    }
    if (e->key() == Qt::Key_Escape) {
        done_ = true;
        emit cancelled();
        return;
    }
    QLineEdit::keyPressEvent(e);
}

void InPlaceEditor::focusOutEvent(QFocusEvent* e) {
    QLineEdit::focusOutEvent(e);
    if (!done_) {
        done_ = true;
        emit cancelled();
    }
}

ValueDialog::ValueDialog(ValueOp op, QWidget* parent) : QDialog(parent) {
    setObjectName("ValueDialog");
    setWindowTitle(Title(op));
    auto* col = new QVBoxLayout(this);
    const char* label = op == ValueOp::Set   ? t::kSetValueLabel
                        : op == ValueOp::Add ? t::kAddLabel
                                             : t::kMultiplyLabel;
    col->addWidget(new QLabel(label, this));
    field_ = new QLineEdit(this);
    field_->setObjectName("ValueField");
    col->addWidget(field_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    col->addWidget(buttons);
}

QString ValueDialog::Title(ValueOp op) {
    QString menu = op == ValueOp::Set   ? t::kMenuSetValue
                   : op == ValueOp::Add ? t::kMenuAdd
                                        : t::kMenuMultiply;
    return menu.remove(QChar(0x2026));
}

ValueEntry::ValueEntry(QWidget* window, TableEditor& editor, QtMessages& messages,
                       std::function<void(const QString&)> status)
    : QObject(window),
      window_(window),
      editor_(editor),
      messages_(messages),
      status_(std::move(status)) {}

void ValueEntry::Attach(GridView* view) {
    const auto id = TableOf(view);
    if (!id || !TakesValues(*id))
        return;
    view->onTypeKey = [this, view](QKeyEvent* e) { return TypeKey(view, e); };
    auto* copy = new QAction(t::kMenuCopy, view);
    copy->setShortcut(QKeySequence::Copy);
    copy->setShortcutContext(Qt::WidgetShortcut);
    connect(copy, &QAction::triggered, this, [this, view] { Copy(view); });
    auto* paste = new QAction(t::kMenuPaste, view);
    paste->setShortcut(QKeySequence::Paste);
    paste->setShortcutContext(Qt::WidgetShortcut);
    connect(paste, &QAction::triggered, this, [this, view] { Paste(view); });
    view->addAction(copy);
    view->addAction(paste);
}

bool ValueEntry::TypeKey(GridView* view, QKeyEvent* e) {
    const auto id = TableOf(view);
    if (!id || !editor_.Editable(*id) || (e->modifiers() & (Qt::ControlModifier | Qt::AltModifier)))
        return false;
    if (e->key() == Qt::Key_F2) {
        const CellRect s = view->Selection();
        std::string now;
        {
            std::lock_guard<std::mutex> lock(*view->Model()->Mutex());
            now = view->Model()->Grid()->Cell(s.left, s.top);
        }
        OpenEditor(view, QString::fromStdString(now));
        return true;
    }
    const QString text = e->text();
    if (text.size() != 1)
        return false;
    const QChar ch = text.front();
    if (!ch.isDigit() && ch != QChar::fromLatin1(DecimalSeparator()))
        return false;
    OpenEditor(view, text);
    return true;
}

InPlaceEditor* ValueEntry::OpenEditor(GridView* view, const QString& start) {
    const CellRect s = view->Selection();
    const auto id = TableOf(view);
    if (s.Empty() || !id || !editor_.Editable(*id))
        return nullptr;
    const QModelIndex at =
        view->Model()->index(s.top - view->Model()->GridRow(0), s.left - view->Model()->GridCol(0));
    auto* editor = new InPlaceEditor(view->viewport());
    editor->setGeometry(view->visualRect(at));
    editor->setText(start);
    editor->show();
    editor->setFocus();
    // Handing the focus back moves the view's current cell: the selection typed over stays.
    connect(editor, &InPlaceEditor::committed, this, [this, view, editor, s](const QString& text) {
        editor->hide();
        editor->deleteLater();
        view->setFocus();
        view->SelectCells(s);
        TypeValue(view, text);
    });
    connect(editor, &InPlaceEditor::cancelled, this, [view, editor, s] {
        editor->hide();
        editor->deleteLater();
        view->setFocus();
        view->SelectCells(s);
    });
    return editor;
}

bool ValueEntry::TypeValue(GridView* view, const QString& text) {
    const std::optional<double> v = ParseNumber(text.trimmed().toStdString(), DecimalSeparator());
    if (!v) {
        messages_.Warning(NotNumberMessage(text.toStdString()), t::kErrorCaption);
        return false;
    }
    const auto id = TableOf(view);
    if (!id || !editor_.Editable(*id))
        return false;
    ValuesResult result;
    editor_.Record(editing_texts::kEditTyped, {*id}, [&] {
        result = ApplyValue(*view->Model()->Grid(), *id, ToSelection(view->Selection()),
                            ValueOp::Set, *v, editor_.BcnMultiplier(), DecimalSeparator());
    });
    if (result.clamped)
        NoteClamped(*id);
    return result.ok;
}

bool ValueEntry::ApplyMaths(GridView* view, ValueOp op, double x) {
    const auto id = TableOf(view);
    if (!id || !editor_.Editable(*id))
        return false;
    ValuesResult result;
    editor_.Record(WhatOf(op), {*id}, [&] {
        result = ApplyValue(*view->Model()->Grid(), *id, ToSelection(view->Selection()), op, x,
                            editor_.BcnMultiplier(), DecimalSeparator());
    });
    if (!result.ok)
        messages_.Warning(result.error, t::kErrorCaption);
    if (result.clamped)
        NoteClamped(*id);
    return result.ok;
}

void ValueEntry::AskMaths(GridView* view, ValueOp op) {
    const auto id = TableOf(view);
    if (!id || !editor_.Editable(*id))
        return;
    ValueDialog dialog(op, window_);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const QString text = dialog.Field()->text();
    const auto x = ParseNumber(text.trimmed().toStdString(), DecimalSeparator());
    if (!x) {
        messages_.Warning(NotNumberMessage(text.toStdString()), t::kErrorCaption);
        return;
    }
    ApplyMaths(view, op, *x);
}

void ValueEntry::Copy(GridView* view) {
    std::string block;
    {
        std::lock_guard<std::mutex> lock(*view->Model()->Mutex());
        block = CopyBlock(*view->Model()->Grid(), ToSelection(view->Selection()));
    }
    QApplication::clipboard()->setText(QString::fromStdString(block));
}

bool ValueEntry::Paste(GridView* view) {
    return Paste(view, QApplication::clipboard()->text());
}

bool ValueEntry::Paste(GridView* view, const QString& text) {
    const auto id = TableOf(view);
    const CellRect s = view->Selection();
    if (!id || !editor_.Editable(*id) || s.Empty())
        return false;
    PasteResult result;
    editor_.Record(editing_texts::kEditPaste, {*id}, [&] {
        result = PasteBlock(*view->Model()->Grid(), *id, s.left, s.top, text.toStdString(),
                            editor_.BcnMultiplier(), DecimalSeparator());
    });
    switch (result.refusal) {
        case PasteRefusal::None:
            break;
        case PasteRefusal::Empty:
            messages_.Warning(t::kPasteEmpty, t::kErrorCaption);
            return false;
        case PasteRefusal::DoesNotFit:
            messages_.Warning(t::kPasteDoesNotFit, t::kErrorCaption);
            return false;
        case PasteRefusal::NotANumber:
            messages_.Warning(NotNumberMessage(result.badText), t::kErrorCaption);
            return false;
    }
    if (result.clamped)
        NoteClamped(*id);
    return true;
}

void ValueEntry::NoteClamped(TableId id) {
    const auto [low, high] = ValueRangeOf(id, editor_.BcnMultiplier());
    const char sep = DecimalSeparator();
    status_(QString(t::kClampedNote) + QString::fromStdString(GeneralText(low, sep)) +
            QString::fromUtf8(" … ") + QString::fromStdString(GeneralText(high, sep)));
}

void ValueEntry::AddToMenu(QMenu& menu, GridView* view) {
    const auto id = TableOf(view);
    if (!id || !TakesValues(*id))
        return;
    menu.addSeparator();
    const std::pair<const char*, ValueOp> maths[] = {{t::kMenuSetValue, ValueOp::Set},
                                                     {t::kMenuAdd, ValueOp::Add},
                                                     {t::kMenuMultiply, ValueOp::MultiplyPercent}};
    const bool editable = editor_.Editable(*id);
    for (const auto& [text, op] : maths)
        menu.addAction(text, this, [this, view, op = op] { AskMaths(view, op); })
            ->setEnabled(editable);
    menu.addSeparator();
    menu.addAction(t::kMenuCopy, this, [this, view] { Copy(view); })
        ->setShortcut(QKeySequence::Copy);
    QAction* paste = menu.addAction(t::kMenuPaste, this, [this, view] { Paste(view); });
    paste->setShortcut(QKeySequence::Paste);
    paste->setEnabled(editable);
}

}  // namespace veltrano
