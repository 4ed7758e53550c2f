#include "app/elided_label.h"

#include "app/cell_text_fit.h"

#include <QHelpEvent>
#include <QPainter>
#include <QStyle>
#include <QToolTip>

namespace veltrano {

ElidedLabel::ElidedLabel(const QString& text, QWidget* parent, QString widthSample)
    : QLabel(text, parent), widthSample_(std::move(widthSample)) {
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
}

QString ElidedLabel::ShownText() const {
    const int room = contentsRect().width() - 2 * margin() - (indent() > 0 ? indent() : 0);
    const QFontMetrics fm = fontMetrics();
    return FitCellText(text(), std::max(0, room),
                       [&fm](const QString& t) { return fm.horizontalAdvance(t); });
}

QString ElidedLabel::ToolTipText() const {
    return Elided() ? text() : toolTip();
}

QSize ElidedLabel::sizeHint() const {
    const QMargins m = contentsMargins();
    const QFontMetrics fm = fontMetrics();
    return QSize(fm.horizontalAdvance(widthSample_) + m.left() + m.right() + 2 * margin() + 4,
                 fm.height() + m.top() + m.bottom() + 2 * margin());
}

QSize ElidedLabel::minimumSizeHint() const {
    const QMargins m = contentsMargins();
    return QSize(m.left() + m.right() + 8, fontMetrics().height() + m.top() + m.bottom());
}

void ElidedLabel::paintEvent(QPaintEvent*) {
    QPainter p(this);
    drawFrame(&p);
    const QRect r = contentsRect().adjusted(margin(), margin(), -margin(), -margin());
    style()->drawItemText(&p, r, int(alignment()), palette(), isEnabled(), ShownText(),
                          foregroundRole());
}

bool ElidedLabel::event(QEvent* e) {
    if (e->type() == QEvent::ToolTip) {
        const QString tip = ToolTipText();
        if (tip.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(static_cast<QHelpEvent*>(e)->globalPos(), tip, this);
        return true;
    }
    return QLabel::event(e);
}

}  // namespace veltrano
