// Stacked plot panes over one time axis, drawn with QPainter from a min/max envelope per
// pixel column, so a long log redraws as fast as a short one. Zoom and pan with the mouse
// (wheel, drag) and keys (+/-, arrows, Home); a click sets the cursor, which shows every
// plotted value at its time.
#pragma once

#include <QColor>
#include <QString>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "analysis/column_summary.h"

namespace veltrano {

class LogTable;

struct PlotSeries {
    QString name;
    int column = 0;  // of the log table
};

class PlotView : public QWidget {
    Q_OBJECT
  public:
    explicit PlotView(QWidget* parent = nullptr);

    // The log whose columns are plotted (must outlive its use; null: nothing).
    void SetTable(const LogTable* table);
    // Text of a time for the axis and the cursor (default: seconds as m:ss).
    void SetTimeText(std::function<QString(double)> text) { timeText_ = std::move(text); }
    // One pane per series, top to bottom.
    void SetPanes(std::vector<PlotSeries> panes);
    // One byte per row, 0 for rows left out (gaps); empty: all rows.
    void SetShown(std::vector<std::uint8_t> shown);
    // Rows marked with a band (a cell picked in the map).
    void SetHighlight(std::vector<std::uint32_t> rows);
    const std::vector<std::uint32_t>& Highlight() const { return highlight_; }
    const std::vector<int>& Markers() const { return markers_; }
    // Rows at which a vertical marker is drawn.
    void SetMarkers(std::vector<int> rows);

    void ShowAll();
    void SetRange(double t0, double t1);
    double From() const { return t0_; }
    double To() const { return t1_; }
    void SetCursorRow(int row);
    int CursorRow() const { return cursor_; }
    int Panes() const { return int(panes_.size()); }
    // "name: value" of every pane at the cursor, as drawn.
    QStringList CursorTexts() const;
    // Milliseconds the last paint took.
    double LastPaintMs() const { return lastPaintMs_; }

  signals:
    void cursorMoved(int row);

  protected:
    void paintEvent(QPaintEvent*) override;
    void wheelEvent(QWheelEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

  private:
    QRect PlotArea() const;
    double TimeAt(int x) const;
    int XAt(double t) const;
    int RowAt(double t) const;
    void Zoom(double factor, double around);
    void Pan(double fraction);
    std::size_t Rows() const;
    double RowTime(int row) const;
    void DrawPane(QPainter& p, const QRect& r, const PlotSeries& s, const QColor& colour);
    void DrawBands(QPainter& p, const QRect& r);
    // The column's envelope over the shown range, from its block summary; kept while the
    // range, the width and the filter stay, so a repaint for the cursor or the highlight
    // reduces nothing.
    const std::vector<PixelSpan>& Envelope(int column, int pixels);
    void DropEnvelopes();

    const LogTable* table_ = nullptr;
    std::vector<PlotSeries> panes_;
    std::vector<std::uint8_t> shown_;
    std::vector<std::uint32_t> highlight_;
    std::vector<int> markers_;
    std::function<QString(double)> timeText_;
    double t0_ = 0, t1_ = 1;
    int cursor_ = -1;
    bool dragging_ = false;
    bool dragged_ = false;
    int dragX_ = 0;
    double lastPaintMs_ = 0;
    struct CachedEnvelope {
        double t0 = 0, t1 = 0;
        int pixels = 0;
        std::vector<PixelSpan> spans;
    };
    std::map<int, std::unique_ptr<ColumnSummary>> summaries_;  // by column
    std::map<int, CachedEnvelope> envelopes_;                  // by column
};

}  // namespace veltrano
