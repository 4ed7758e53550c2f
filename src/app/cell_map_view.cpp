#include "app/cell_map_view.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace veltrano {

namespace {

constexpr double kLabelWidth = 40;
constexpr double kLabelHeight = 18;
constexpr double kFullScale = 0.10;  // 10 % error is full colour

}  // namespace

CellMapView::CellMapView(QWidget* parent) : QWidget(parent) {
    setObjectName("CellMap");
    setMinimumSize(560, 380);
    setAutoFillBackground(true);
    setPalette(QPalette(Qt::white));
}

void CellMapView::SetCells(const MapCells& cells) {
    cells_ = cells;
    update();
}

void CellMapView::SetAxes(QStringList columns, QStringList rows) {
    columns_ = std::move(columns);
    rows_ = std::move(rows);
    update();
}

void CellMapView::Pick(int c, int r) {
    if (c < 1 || c > 16 || r < 1 || r > 16)
        return;
    picked_ = QPoint(c, r);
    update();
    emit cellPicked(c, r);
}

QStringList CellMapView::CellTexts(const MapCell& cell) {
    if (cell.rows == 0)
        return {};
    if (cell.mixtureRows == 0)
        return {"—", QString(), QString::number(cell.rows)};
    return {QString::asprintf("%+.1f", cell.mean * 100),
            QString::asprintf("±%.1f", cell.spread * 100), QString::number(cell.rows)};
}

QColor CellMapView::CellColour(const MapCell& cell) {
    if (cell.mixtureRows == 0)
        return QColor(235, 235, 235);
    const double k = std::min(1.0, std::abs(cell.mean) / kFullScale);
    const int fade = int(std::lround(255 - 155 * k));
    // Lean (above target) is red, rich is blue.
    return cell.mean >= 0 ? QColor(255, fade, fade) : QColor(fade, fade, 255);
}

QRectF CellMapView::CellRect(int c, int r) const {
    const double w = (width() - kLabelWidth - 1) / 16.0;
    const double h = (height() - kLabelHeight - 1) / 16.0;
    return QRectF(kLabelWidth + (c - 1) * w, kLabelHeight + (r - 1) * h, w, h);
}

QRectF CellMapView::ColumnLabelRect(int k) const {
    const QRectF col = CellRect(k, 1);
    return QRectF(col.left(), 0, col.width(), kLabelHeight);
}

QRectF CellMapView::RowLabelRect(int k) const {
    const QRectF row = CellRect(1, k);
    return QRectF(0, row.top(), kLabelWidth - 3, row.height());
}

QFont CellMapView::LabelFont() const {
    QFont small = font();
    small.setPointSizeF(std::max(6.0, std::min(8.0, CellRect(1, 1).height() / 4.5)));
    return small;
}

void CellMapView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setFont(LabelFont());
    p.setPen(Qt::black);
    for (int k = 1; k <= 16; ++k) {
        p.drawText(ColumnLabelRect(k), Qt::AlignCenter,
                   k <= columns_.size() ? columns_[k - 1] : QString::number(k));
        p.drawText(RowLabelRect(k), Qt::AlignRight | Qt::AlignVCenter,
                   k <= rows_.size() ? rows_[k - 1] : QString::number(k));
    }
    for (int c = 1; c <= 16; ++c)
        for (int r = 1; r <= 16; ++r) {
            const QRectF cell = CellRect(c, r);
            const MapCell& m = cells_[size_t(c)][size_t(r)];
            p.fillRect(cell, CellColour(m));
            p.setPen(QColor(190, 190, 190));
            p.drawRect(cell);
            const QStringList texts = CellTexts(m);
            const double third = cell.height() / 3;
            for (int k = 0; k < texts.size(); ++k) {
                p.setPen(k == 0 ? QColor(Qt::black) : QColor(80, 80, 80));
                p.drawText(QRectF(cell.left(), cell.top() + k * third, cell.width(), third),
                           Qt::AlignCenter, texts[k]);
            }
        }
    if (picked_.x() > 0) {
        p.setPen(QPen(Qt::black, 3));
        p.drawRect(CellRect(picked_.x(), picked_.y()).adjusted(1, 1, -1, -1));
    }
}

void CellMapView::mousePressEvent(QMouseEvent* e) {
    for (int c = 1; c <= 16; ++c)
        for (int r = 1; r <= 16; ++r)
            if (CellRect(c, r).contains(e->position())) {
                Pick(c, r);
                return;
            }
}

}  // namespace veltrano
