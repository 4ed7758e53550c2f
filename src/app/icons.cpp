#include "app/icons.h"

#include <cmath>

#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace veltrano {
namespace {

constexpr int kSize = 32;

void DrawFolder(QPainter& p) {
    p.setBrush(QColor(240, 200, 80));
    p.setPen(QPen(QColor(150, 110, 20), 1.5));
    QPainterPath path;
    path.moveTo(3, 8);
    path.lineTo(12, 8);
    path.lineTo(15, 11);
    path.lineTo(29, 11);
    path.lineTo(29, 26);
    path.lineTo(3, 26);
    path.closeSubpath();
    p.drawPath(path);
    p.setBrush(QColor(255, 225, 120));
    p.drawRect(QRectF(3, 14, 26, 12));
}

void DrawDisk(QPainter& p) {
    p.setBrush(QColor(50, 90, 170));
    p.setPen(QPen(QColor(20, 40, 90), 1.5));
    p.drawRoundedRect(QRectF(4, 4, 24, 24), 2, 2);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(9, 5, 14, 9));
    p.setBrush(QColor(200, 200, 210));
    p.drawRect(QRectF(8, 18, 16, 10));
}

void DrawGear(QPainter& p) {
    p.setPen(QPen(QColor(70, 70, 70), 1.5));
    p.setBrush(QColor(150, 150, 160));
    p.translate(16, 16);
    for (int i = 0; i < 8; ++i) {
        p.drawRect(QRectF(-2.5, -14, 5, 7));
        p.rotate(45);
    }
    p.drawEllipse(QPointF(0, 0), 9, 9);
    p.setBrush(QColor(230, 230, 230));
    p.drawEllipse(QPointF(0, 0), 3.5, 3.5);
    p.resetTransform();
}

void DrawPlug(QPainter& p, bool connected) {
    const QColor body = connected ? QColor(40, 160, 60) : QColor(200, 50, 40);
    p.setPen(QPen(body.darker(160), 1.5));
    p.setBrush(body);
    p.drawRoundedRect(QRectF(6, 11, 11, 10), 2, 2);
    p.drawRect(QRectF(17, 13, 6, 2));
    p.drawRect(QRectF(17, 17, 6, 2));
    p.drawLine(QPointF(6, 16), QPointF(2, 16));
    if (!connected) {
        p.setPen(QPen(QColor(200, 30, 30), 3));
        p.drawLine(QPointF(22, 4), QPointF(30, 12));
        p.drawLine(QPointF(30, 4), QPointF(22, 12));
    } else {
        p.setPen(QPen(QColor(20, 120, 40), 2));
        p.drawArc(QRectF(22, 6, 8, 20), -60 * 16, 120 * 16);
    }
}

void DrawLearning(QPainter& p) {
    p.setPen(QPen(QColor(120, 40, 140), 1.5));
    p.setBrush(QColor(190, 120, 210));
    p.drawEllipse(QRectF(4, 4, 24, 24));
    p.setPen(QPen(Qt::white, 2.5));
    QPainterPath path;
    path.moveTo(9, 20);
    path.lineTo(14, 14);
    path.lineTo(18, 18);
    path.lineTo(24, 10);
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
}

void DrawExit(QPainter& p) {
    p.setPen(QPen(QColor(90, 60, 30), 1.5));
    p.setBrush(QColor(180, 130, 80));
    p.drawRect(QRectF(5, 4, 14, 24));
    p.setPen(QPen(QColor(200, 30, 30), 3));
    p.drawLine(QPointF(14, 16), QPointF(29, 16));
    p.drawLine(QPointF(24, 11), QPointF(29, 16));
    p.drawLine(QPointF(24, 21), QPointF(29, 16));
}

// A hill of cells in perspective: the 3D view.
void DrawSurface(QPainter& p) {
    auto at = [](int i, int j) {
        const double h = 9.0 * std::exp(-((i - 2.5) * (i - 2.5) + (j - 2) * (j - 2)) / 3.0);
        return QPointF(4 + i * 4.2 + j * 2.2, 26 - j * 3.0 - h);
    };
    for (int j = 0; j < 5; ++j) {
        for (int i = 0; i < 5; ++i) {
            QPolygonF cell{at(i, j), at(i + 1, j), at(i + 1, j + 1), at(i, j + 1)};
            const int shade = 120 + 25 * j;
            p.setBrush(QColor(shade, 90 + 20 * i, 255 - shade));
            p.setPen(QPen(QColor(30, 30, 60), 0.8));
            p.drawPolygon(cell);
        }
    }
}

}  // namespace

QIcon MakeToolIcon(ToolIcon which) {
    QPixmap pm(kSize, kSize);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    switch (which) {
        case ToolIcon::Open:
            DrawFolder(p);
            break;
        case ToolIcon::Save:
            DrawDisk(p);
            break;
        case ToolIcon::Settings:
            DrawGear(p);
            break;
        case ToolIcon::Connect:
            DrawPlug(p, true);
            break;
        case ToolIcon::Disconnect:
            DrawPlug(p, false);
            break;
        case ToolIcon::Learning:
            DrawLearning(p);
            break;
        case ToolIcon::Exit:
            DrawExit(p);
            break;
        case ToolIcon::Surface:
            DrawSurface(p);
            break;
    }
    p.end();
    return QIcon(pm);
}

namespace {

QPixmap Lamp(const QColor& light, const QColor& dark) {
    QPixmap pm(14, 14);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    QRadialGradient g(QPointF(5, 5), 8);
    g.setColorAt(0, light);
    g.setColorAt(1, dark);
    p.setBrush(g);
    p.setPen(QPen(QColor(40, 40, 40), 1));
    p.drawEllipse(QRectF(1, 1, 12, 12));
    return pm;
}

}  // namespace

QPixmap IndicatorPixmap(bool on) {
    return on ? Lamp(QColor(180, 255, 180), QColor(0, 170, 0))
              : Lamp(QColor(200, 200, 200), QColor(90, 90, 90));
}

QPixmap FailurePixmap() {
    return Lamp(QColor(255, 170, 170), QColor(200, 0, 0));
}

}  // namespace veltrano
