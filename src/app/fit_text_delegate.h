// Item views whose cells show numbers: the text is centred and fitted to the cell (decimals
// rounded away before anything is cut), never cut in the middle by the style's elision.
#pragma once

#include <QStyledItemDelegate>

namespace veltrano {

class FitTextDelegate : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* p, const QStyleOptionViewItem& opt, const QModelIndex& idx) const override;

  protected:
    // The item's option with its text fitted and centred; `margin` gets the text's side margin.
    QStyleOptionViewItem Fitted(const QStyleOptionViewItem& opt, const QModelIndex& idx,
                                int* margin) const;
};

}  // namespace veltrano
