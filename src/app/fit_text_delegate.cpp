#include "app/fit_text_delegate.h"

#include <QApplication>
#include <QStyle>

#include "app/cell_text_fit.h"

namespace veltrano {

void FitTextDelegate::paint(QPainter* p, const QStyleOptionViewItem& opt,
                            const QModelIndex& idx) const {
    QStyleOptionViewItem item = opt;
    initStyleOption(&item, idx);
    const QWidget* widget = item.widget;
    QStyle* style = widget ? widget->style() : QApplication::style();
    const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
    const QFontMetrics fm(item.font);
    item.text = FitCellText(item.text, item.rect.width() - 2 * margin,
                            [&fm](const QString& s) { return fm.horizontalAdvance(s); });
    item.displayAlignment = Qt::AlignCenter;
    style->drawControl(QStyle::CE_ItemViewItem, &item, p, widget);
}

}  // namespace veltrano
