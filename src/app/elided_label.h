// A read-out whose text never loses its beginning: a number wider than the label loses
// decimals, rounded, before anything else; other text wider than the label is cut at its end
// with "…". The whole text is then the tooltip. Its size does not follow the text, so a
// row of read-outs keeps its layout as values change.
#pragma once

#include <QLabel>

namespace veltrano {

class ElidedLabel : public QLabel {
    Q_OBJECT
  public:
    // `widthSample` sets the preferred width: the width of that text in the label's font.
    explicit ElidedLabel(const QString& text, QWidget* parent = nullptr,
                         QString widthSample = "0000000");

    // What the label paints: the text, the number rounded to fit, or its cut beginning.
    QString ShownText() const;
    bool Elided() const { return ShownText() != text(); }
    // The tooltip shown: the whole text when it is cut, otherwise the label's own tooltip.
    QString ToolTipText() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* e) override;
    bool event(QEvent* e) override;

  private:
    QString widthSample_;
};

}  // namespace veltrano
