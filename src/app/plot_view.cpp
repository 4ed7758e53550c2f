#include "app/plot_view.h"

#include <QElapsedTimer>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

#include "analysis/log_table.h"

namespace veltrano {

namespace {

constexpr int kLeft = 56;    // room for the value scale
constexpr int kBottom = 18;  // room for the time scale
constexpr int kGap = 4;      // between panes

const QColor kColours[] = {QColor(0, 90, 200),  QColor(200, 60, 0),  QColor(0, 140, 60),
                           QColor(150, 0, 150), QColor(160, 120, 0), QColor(0, 130, 140)};

QString Number(double v) {
    return QString::number(v, 'g', 6);
}

}  // namespace

PlotView::PlotView(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::StrongFocus);
    setMinimumSize(300, 160);
    setAutoFillBackground(true);
    setPalette(QPalette(Qt::white));
    timeText_ = [](double s) {
        const int whole = int(std::floor(s));
        return QString("%1:%2").arg(whole / 60).arg(whole % 60, 2, 10, QChar('0'));
    };
}

void PlotView::SetTable(const LogTable* table) {
    DropEnvelopes();
    table_ = table;
    cursor_ = -1;
    shown_.clear();
    highlight_.clear();
    markers_.clear();
    ShowAll();
}

std::size_t PlotView::Rows() const {
    return table_ ? table_->Rows() : 0;
}

double PlotView::RowTime(int row) const {
    return table_->Time(std::size_t(row));
}

void PlotView::SetPanes(std::vector<PlotSeries> panes) {
    panes_ = std::move(panes);
    update();
}

void PlotView::SetShown(std::vector<std::uint8_t> shown) {
    DropEnvelopes();  // the summaries look at the old filter's bytes
    shown_ = std::move(shown);
    update();
}

void PlotView::SetHighlight(std::vector<std::uint32_t> rows) {
    highlight_ = std::move(rows);
    update();
}

void PlotView::SetMarkers(std::vector<int> rows) {
    markers_ = std::move(rows);
    update();
}

void PlotView::ShowAll() {
    if (Rows() == 0)
        SetRange(0, 1);
    else
        SetRange(RowTime(0), std::max(RowTime(int(Rows()) - 1), RowTime(0) + 1e-3));
}

void PlotView::SetRange(double t0, double t1) {
    if (!(t1 > t0))
        return;
    t0_ = t0;
    t1_ = t1;
    update();
}

void PlotView::SetCursorRow(int row) {
    if (Rows() == 0)
        return;
    row = std::clamp(row, 0, int(Rows()) - 1);
    if (row == cursor_)
        return;
    cursor_ = row;
    // The cursor stays in sight.
    const double t = RowTime(row);
    if (t < t0_ || t > t1_)
        SetRange(t - (t1_ - t0_) / 2, t + (t1_ - t0_) / 2);
    update();
    emit cursorMoved(row);
}

QStringList PlotView::CursorTexts() const {
    QStringList out;
    if (cursor_ < 0)
        return out;
    for (const PlotSeries& s : panes_)
        out << s.name + ": " + Number(table_->Value(std::size_t(cursor_), s.column));
    return out;
}

QRect PlotView::PlotArea() const {
    return rect().adjusted(kLeft, 2, -6, -kBottom);
}

double PlotView::TimeAt(int x) const {
    const QRect a = PlotArea();
    return t0_ + (t1_ - t0_) * double(x - a.left()) / std::max(1, a.width());
}

int PlotView::XAt(double t) const {
    const QRect a = PlotArea();
    return a.left() + int(std::lround((t - t0_) / (t1_ - t0_) * a.width()));
}

// The last row at or before t (the first row before the log starts).
int PlotView::RowAt(double t) const {
    if (Rows() == 0)
        return -1;
    const auto times = table_->Times();
    const auto it = std::upper_bound(times.begin(), times.end(), t);
    return std::max(0, int(it - times.begin()) - 1);
}

void PlotView::Zoom(double factor, double around) {
    const double span = std::max((t1_ - t0_) * factor, 1e-3);
    const double at = (around - t0_) / (t1_ - t0_);
    SetRange(around - span * at, around + span * (1 - at));
}

void PlotView::Pan(double fraction) {
    const double d = (t1_ - t0_) * fraction;
    SetRange(t0_ + d, t1_ + d);
}

// A band over every pixel column that holds a highlighted row.
void PlotView::DrawBands(QPainter& p, const QRect& r) {
    if (highlight_.empty() || Rows() == 0)
        return;
    std::vector<std::uint8_t> any(std::size_t(r.width()), 0);
    const double scale = r.width() / (t1_ - t0_);
    for (std::uint32_t row : highlight_) {
        const double x = (RowTime(int(row)) - t0_) * scale;
        if (x >= 0 && x < r.width())
            any[std::size_t(x)] = 1;
    }
    for (int x = 0; x < r.width(); ++x)
        if (any[std::size_t(x)])
            p.fillRect(QRect(r.left() + x, r.top(), 1, r.height()), QColor(255, 225, 110));
}

void PlotView::DropEnvelopes() {
    envelopes_.clear();
    summaries_.clear();
}

const std::vector<PixelSpan>& PlotView::Envelope(int column, int pixels) {
    CachedEnvelope& e = envelopes_[column];
    if (e.t0 == t0_ && e.t1 == t1_ && e.pixels == pixels)
        return e.spans;
    std::unique_ptr<ColumnSummary>& summary = summaries_[column];
    if (!summary)
        summary = std::make_unique<ColumnSummary>(*table_, column, shown_);
    e = {t0_, t1_, pixels, summary->Decimate(t0_, t1_, pixels)};
    return e.spans;
}

void PlotView::DrawPane(QPainter& p, const QRect& r, const PlotSeries& s, const QColor& colour) {
    p.setPen(QColor(200, 200, 200));
    p.drawRect(r.adjusted(0, 0, -1, -1));
    const std::vector<PixelSpan>& env = Envelope(s.column, r.width());
    double lo = INFINITY, hi = -INFINITY;
    for (const PixelSpan& c : env)
        if (c.rows > 0) {
            lo = std::min<double>(lo, c.min);
            hi = std::max<double>(hi, c.max);
        }
    if (lo > hi) {
        lo = 0;
        hi = 1;
    }
    if (hi - lo < 1e-9) {
        lo -= 0.5;
        hi += 0.5;
    }
    const double pad = (hi - lo) * 0.06;
    lo -= pad;
    hi += pad;
    const auto y = [&](double v) {
        return r.bottom() - 1 - int(std::lround((v - lo) / (hi - lo) * (r.height() - 2)));
    };
    p.setPen(Qt::black);
    p.drawText(QRect(0, r.top(), kLeft - 4, 14), Qt::AlignRight, Number(hi));
    p.drawText(QRect(0, r.bottom() - 14, kLeft - 4, 14), Qt::AlignRight, Number(lo));
    // Per pixel one run from its smallest to its largest value, stretched to the previous
    // pixel's last value so the trace stays joined; a gap of empty pixels is bridged by a
    // line. Filled runs cost far less than lines as tall as the pane.
    p.setPen(QPen(colour, 1));
    int prevX = -1;
    int prevLastY = 0;
    for (int x = 0; x < int(env.size()); ++x) {
        const PixelSpan& c = env[size_t(x)];
        if (c.rows == 0)
            continue;
        int top = y(c.max);
        int bottom = y(c.min);
        if (prevX == x - 1) {
            top = std::min(top, prevLastY);
            bottom = std::max(bottom, prevLastY);
        } else if (prevX >= 0) {
            p.drawLine(r.left() + prevX, prevLastY, r.left() + x, y(c.first));
        }
        p.fillRect(QRect(r.left() + x, top, 1, bottom - top + 1), colour);
        prevX = x;
        prevLastY = y(c.last);
    }
    p.setPen(Qt::black);
    QFont bold = font();
    bold.setBold(true);
    p.setFont(bold);
    QString caption = s.name;
    if (cursor_ >= 0)
        caption += " = " + Number(table_->Value(std::size_t(cursor_), s.column));
    p.drawText(r.adjusted(4, 2, -4, 0), Qt::AlignLeft | Qt::AlignTop, caption);
    p.setFont(font());
}

void PlotView::paintEvent(QPaintEvent*) {
    QElapsedTimer clock;
    clock.start();
    QPainter p(this);
    const QRect a = PlotArea();
    const int n = std::max(1, int(panes_.size()));
    const int h = (a.height() - kGap * (n - 1)) / n;
    for (int i = 0; i < int(panes_.size()); ++i) {
        const QRect r(a.left(), a.top() + i * (h + kGap), a.width(), h);
        DrawBands(p, r);
        p.setPen(QPen(QColor(220, 0, 0), 1, Qt::DashLine));
        for (int row : markers_)
            if (std::size_t(row) < Rows()) {
                const int x = XAt(RowTime(row));
                if (x >= r.left() && x <= r.right())
                    p.drawLine(x, r.top(), x, r.bottom());
            }
        DrawPane(p, r, panes_[size_t(i)], kColours[i % std::size(kColours)]);
    }
    if (panes_.empty()) {
        p.setPen(Qt::darkGray);
        p.drawText(a, Qt::AlignCenter, tr("—"));
    }
    // Time scale.
    p.setPen(Qt::black);
    const int ticks = std::max(2, a.width() / 110);
    for (int k = 0; k <= ticks; ++k) {
        const int x = a.left() + a.width() * k / ticks;
        p.drawLine(x, a.bottom() + 1, x, a.bottom() + 4);
        const int align = k == 0 ? Qt::AlignLeft : k == ticks ? Qt::AlignRight : Qt::AlignHCenter;
        p.drawText(QRect(x - 50, a.bottom() + 3, 100, kBottom - 3)
                       .translated(k == 0       ? 50
                                   : k == ticks ? -50
                                                : 0,
                                   0),
                   align, timeText_(TimeAt(x)));
    }
    if (cursor_ >= 0 && std::size_t(cursor_) < Rows()) {
        const int x = XAt(RowTime(cursor_));
        if (x >= a.left() && x <= a.right()) {
            p.setPen(QPen(Qt::black, 1));
            p.drawLine(x, a.top(), x, a.bottom());
            const QString text = timeText_(RowTime(cursor_));
            const int w = p.fontMetrics().horizontalAdvance(text) + 8;
            const QRect box(std::min(x + 2, a.right() - w), a.bottom() - 16, w, 15);
            p.fillRect(box, QColor(255, 255, 220));
            p.drawText(box, Qt::AlignCenter, text);
        }
    }
    lastPaintMs_ = double(clock.nsecsElapsed()) / 1e6;
}

void PlotView::wheelEvent(QWheelEvent* e) {
    const double steps = e->angleDelta().y() / 120.0;
    if (steps != 0)
        Zoom(std::pow(0.8, steps), TimeAt(int(e->position().x())));
    e->accept();
}

void PlotView::mousePressEvent(QMouseEvent* e) {
    setFocus();
    if (e->button() != Qt::LeftButton)
        return;
    dragging_ = true;
    dragged_ = false;
    dragX_ = int(e->position().x());
}

void PlotView::mouseMoveEvent(QMouseEvent* e) {
    if (!dragging_)
        return;
    const int x = int(e->position().x());
    if (!dragged_ && std::abs(x - dragX_) < 4)
        return;
    dragged_ = true;
    Pan(-double(x - dragX_) / std::max(1, PlotArea().width()));
    dragX_ = x;
}

void PlotView::mouseReleaseEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton || !dragging_)
        return;
    dragging_ = false;
    if (!dragged_)
        SetCursorRow(RowAt(TimeAt(int(e->position().x()))));
}

void PlotView::keyPressEvent(QKeyEvent* e) {
    const bool shift = e->modifiers() & Qt::ShiftModifier;
    const double centre = cursor_ >= 0 ? RowTime(cursor_) : (t0_ + t1_) / 2;
    switch (e->key()) {
        case Qt::Key_Plus:
        case Qt::Key_Equal:
            Zoom(0.5, centre);
            break;
        case Qt::Key_Minus:
            Zoom(2.0, centre);
            break;
        case Qt::Key_Home:
            ShowAll();
            break;
        case Qt::Key_PageUp:
            Pan(-1.0);
            break;
        case Qt::Key_PageDown:
            Pan(1.0);
            break;
        case Qt::Key_Left:
            if (shift)
                Pan(-0.1);
            else
                SetCursorRow(std::max(0, cursor_ - 1));
            break;
        case Qt::Key_Right:
            if (shift)
                Pan(0.1);
            else
                SetCursorRow(cursor_ + 1);
            break;
        default:
            QWidget::keyPressEvent(e);
            return;
    }
    e->accept();
}

}  // namespace veltrano
