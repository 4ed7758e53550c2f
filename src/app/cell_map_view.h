// The per-cell map: the PCN grid's 16 x 16 cells coloured by the mean mixture error of the
// log rows in them (lean red, rich blue), with the error, its spread and the row count as
// numbers. A click picks a cell.
#pragma once

#include <QStringList>
#include <QWidget>
#include <array>

namespace veltrano {

struct MapCell {
    long rows = 0;         // rows in the cell
    long mixtureRows = 0;  // of them, rows with a wideband reading and a target
    double mean = 0;       // AFR over target AFR, minus 1
    double spread = 0;     // standard deviation of the same
};
// Indexed [c][r], c (speed) and r (load) 1..16; index 0 unused.
using MapCells = std::array<std::array<MapCell, 17>, 17>;

class CellMapView : public QWidget {
    Q_OBJECT
  public:
    explicit CellMapView(QWidget* parent = nullptr);

    void SetCells(const MapCells& cells);
    // Axis labels, 16 each (empty: 1..16).
    void SetAxes(QStringList columns, QStringList rows);
    const QStringList& ColumnLabels() const { return columns_; }
    const QStringList& RowLabels() const { return rows_; }
    // Where the header of column (row) k is drawn, and in which font.
    QRectF ColumnLabelRect(int k) const;
    QRectF RowLabelRect(int k) const;
    QFont LabelFont() const;
    const MapCells& Cells() const { return cells_; }
    // The picked cell, (0, 0) when none.
    QPoint Picked() const { return picked_; }
    void Pick(int c, int r);
    // The cell's texts as drawn, one per line: "+3.2", "±1.1", "45".
    static QStringList CellTexts(const MapCell& cell);
    static QColor CellColour(const MapCell& cell);

  signals:
    void cellPicked(int c, int r);

  protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;

  private:
    QRectF CellRect(int c, int r) const;

    MapCells cells_{};
    QStringList columns_, rows_;
    QPoint picked_;
};

}  // namespace veltrano
