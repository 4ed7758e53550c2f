#include "app/fit_text_delegate.h"

#include <QApplication>
#include <QStyle>

#include "app/cell_text_fit.h"

namespace veltrano {

QStyleOptionViewItem FitTextDelegate::Fitted(const QStyleOptionViewItem& opt,
                                             const QModelIndex& idx, int* margin) const {
    QStyleOptionViewItem item = opt;
    initStyleOption(&item, idx);
    const QWidget* widget = item.widget;
    QStyle* style = widget ? widget->style() : QApplication::style();
    *margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
    const QFontMetrics fm(item.font);
    item.text = FitCellText(item.text, item.rect.width() - 2 * *margin,
                            [&fm](const QString& s) { return fm.horizontalAdvance(s); });
    item.displayAlignment = Qt::AlignCenter;
    return item;
}

void FitTextDelegate::paint(QPainter* p, const QStyleOptionViewItem& opt,
                            const QModelIndex& idx) const {
    int margin = 0;
    const QStyleOptionViewItem item = Fitted(opt, idx, &margin);
    QStyle* style = item.widget ? item.widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &item, p, item.widget);
}

}  // namespace veltrano
