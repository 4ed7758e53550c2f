// A table grid of the window: a read-only view of a TextGrid whose row 0 and column 0 can
// serve as the header labels, with rectangle selection, no in-place editor, character keys
// handed to an editor callback and cell colours supplied from outside.
#pragma once

#include <QAbstractTableModel>
#include <QColor>
#include <QLabel>
#include <QStyledItemDelegate>
#include <QTableView>
#include <functional>
#include <mutex>
#include <optional>

#include "app/fit_text_delegate.h"
#include "calibration/text_grid.h"

namespace veltrano {

struct CellRect {
    int left = 0;
    int top = 0;
    int right = -1;
    int bottom = -1;
    bool Empty() const { return right < left || bottom < top; }
};

// A painted cell: the fill colour and where its text starts inside the cell.
struct CellPaint {
    QColor fill;
    int textDx = 6;
    int textDy = 6;
};

class GridModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    // labelRow: row 0 of the grid is the column header; labelCol: column 0 is the row header.
    GridModel(TextGrid* grid, bool labelRow, bool labelCol, QObject* parent = nullptr);

    int rowCount(const QModelIndex& = {}) const override;
    int columnCount(const QModelIndex& = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation o, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    int GridCol(int viewCol) const { return viewCol + (labelCol_ ? 1 : 0); }
    int GridRow(int viewRow) const { return viewRow + (labelRow_ ? 1 : 0); }
    TextGrid* Grid() const { return grid_; }
    // The lock taken around every read of the grid's texts.
    void SetMutex(std::mutex* m) { mutex_ = m; }
    std::mutex* Mutex() const { return mutex_; }
    // The grid's texts changed (open, edit, transform): repaint everything.
    void Reload();
    // Cells that differ from the compared image (painted with a corner mark) and their tooltip.
    std::function<bool(int c, int r)> markRule;
    std::function<QString(int c, int r)> tipRule;

  private:
    TextGrid* grid_;
    std::mutex* mutex_ = nullptr;
    bool labelRow_;
    bool labelCol_;
    int rows_ = 0;
    int cols_ = 0;
    std::string Text(int col, int row) const;
};

class GridView : public QTableView {
    Q_OBJECT
  public:
    GridView(const QString& objectName, TextGrid* grid, bool labelRow, bool labelCol,
             QWidget* parent = nullptr);

    GridModel* Model() const { return model_; }
    // The bounding rectangle of the selection in grid coordinates.
    CellRect Selection() const;
    void SelectCells(const CellRect& r);

    // Colour rule for grid cell (c, r); nullopt paints the cell by default.
    std::function<std::optional<CellPaint>(int c, int r)> paintRule;
    // A character key pressed in the grid (navigation keys are the view's own).
    std::function<void(char32_t key)> onKey;
    // A key that starts typing a value (a digit or a decimal separator, or F2); true when taken.
    std::function<bool(QKeyEvent* e)> onTypeKey;

    // A short text shown across the grid area (empty: none), readable while disabled.
    void SetNotice(const QString& text);
    QString Notice() const { return notice_ ? notice_->text() : QString(); }

  protected:
    void keyPressEvent(QKeyEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

  private:
    GridModel* model_;
    QLabel* notice_ = nullptr;
};

class GridDelegate : public FitTextDelegate {
  public:
    explicit GridDelegate(GridView* view) : FitTextDelegate(view), view_(view) {}
    void paint(QPainter* p, const QStyleOptionViewItem& opt, const QModelIndex& idx) const override;

  private:
    void PaintMark(QPainter* p, const QStyleOptionViewItem& opt, const QModelIndex& idx) const;
    GridView* view_;
};

}  // namespace veltrano
