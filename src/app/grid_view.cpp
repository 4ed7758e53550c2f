#include "app/grid_view.h"

#include <QApplication>
#include <QHeaderView>
#include <QItemSelection>
#include <QKeyEvent>
#include <QPainter>
#include <QResizeEvent>
#include <algorithm>

namespace veltrano {

GridModel::GridModel(TextGrid* grid, bool labelRow, bool labelCol, QObject* parent)
    : QAbstractTableModel(parent), grid_(grid), labelRow_(labelRow), labelCol_(labelCol) {
    rows_ = grid_->RowCount() - (labelRow_ ? 1 : 0);
    cols_ = grid_->ColCount() - (labelCol_ ? 1 : 0);
}

int GridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows_;
}

int GridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : cols_;
}

QVariant GridModel::data(const QModelIndex& index, int role) const {
    if (index.isValid() && role == Qt::ToolTipRole && tipRule)
        return tipRule(GridCol(index.column()), GridRow(index.row()));
    if (!index.isValid() || role != Qt::DisplayRole)
        return {};
    return QString::fromStdString(Text(GridCol(index.column()), GridRow(index.row())));
}

QVariant GridModel::headerData(int section, Qt::Orientation o, int role) const {
    if (role != Qt::DisplayRole)
        return {};
    if (o == Qt::Horizontal)
        return labelRow_ ? QString::fromStdString(Text(GridCol(section), 0)) : QString();
    return labelCol_ ? QString::fromStdString(Text(0, GridRow(section))) : QString();
}

std::string GridModel::Text(int col, int row) const {
    if (!mutex_)
        return grid_->Cell(col, row);
    std::lock_guard<std::mutex> lock(*mutex_);
    return grid_->Cell(col, row);
}

Qt::ItemFlags GridModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsSelectable;
    if (grid_->Enabled)
        f |= Qt::ItemIsEnabled;
    return f;
}

void GridModel::Reload() {
    if (rowCount() == 0 || columnCount() == 0)
        return;
    emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
    emit headerDataChanged(Qt::Horizontal, 0, columnCount() - 1);
    emit headerDataChanged(Qt::Vertical, 0, rowCount() - 1);
}

GridView::GridView(const QString& objectName, TextGrid* grid, bool labelRow, bool labelCol,
                   QWidget* parent)
    : QTableView(parent), model_(new GridModel(grid, labelRow, labelCol, this)) {
    setObjectName(objectName);
    setModel(model_);
    setItemDelegate(new GridDelegate(this));
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::ContiguousSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setContextMenuPolicy(Qt::CustomContextMenu);
    setWordWrap(false);
    horizontalHeader()->setVisible(labelRow);
    verticalHeader()->setVisible(labelCol);
    horizontalHeader()->setDefaultSectionSize(40);
    horizontalHeader()->setMinimumSectionSize(20);
    verticalHeader()->setDefaultSectionSize(20);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setSectionsClickable(false);
    verticalHeader()->setSectionsClickable(false);
    // The 16 x 16 tables fill their tab.
    if (labelRow && labelCol && grid->ColCount() <= 17) {
        horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
        verticalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    }
    QFont f = font();
    f.setPointSize(8);
    setFont(f);
    horizontalHeader()->setFont(f);
    verticalHeader()->setFont(f);
}

CellRect GridView::Selection() const {
    const QModelIndexList sel = selectionModel()->selectedIndexes();
    if (sel.isEmpty()) {
        const QModelIndex cur = currentIndex();
        if (!cur.isValid())
            return {};
        const int c = model_->GridCol(cur.column()), r = model_->GridRow(cur.row());
        return {c, r, c, r};
    }
    CellRect rect{INT_MAX, INT_MAX, INT_MIN, INT_MIN};
    for (const QModelIndex& i : sel) {
        rect.left = std::min(rect.left, model_->GridCol(i.column()));
        rect.right = std::max(rect.right, model_->GridCol(i.column()));
        rect.top = std::min(rect.top, model_->GridRow(i.row()));
        rect.bottom = std::max(rect.bottom, model_->GridRow(i.row()));
    }
    return rect;
}

void GridView::SelectCells(const CellRect& r) {
    const int dc = model_->GridCol(0), dr = model_->GridRow(0);
    const QModelIndex tl = model_->index(r.top - dr, r.left - dc);
    const QModelIndex br = model_->index(r.bottom - dr, r.right - dc);
    selectionModel()->select(QItemSelection(tl, br), QItemSelectionModel::ClearAndSelect);
    selectionModel()->setCurrentIndex(tl, QItemSelectionModel::NoUpdate);
}

void GridView::SetNotice(const QString& text) {
    if (notice_ == nullptr) {
        if (text.isEmpty())
            return;
        notice_ = new QLabel(viewport());
        notice_->setObjectName(objectName() + "_notice");
        notice_->setAlignment(Qt::AlignCenter);
        notice_->setWordWrap(true);
        notice_->setAttribute(Qt::WA_TransparentForMouseEvents);
        QPalette pal = notice_->palette();
        pal.setColor(QPalette::Disabled, QPalette::WindowText,
                     pal.color(QPalette::Active, QPalette::WindowText));
        notice_->setPalette(pal);
    }
    notice_->setText(text);
    notice_->setGeometry(viewport()->rect());
    notice_->setVisible(!text.isEmpty());
}

void GridView::resizeEvent(QResizeEvent* e) {
    QTableView::resizeEvent(e);
    if (notice_ != nullptr)
        notice_->setGeometry(viewport()->rect());
}

void GridView::keyPressEvent(QKeyEvent* e) {
    QString text = e->text();
    if (text.isEmpty() && (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter))
        text = QString(QChar(13));
    if (text.isEmpty() && e->key() == Qt::Key_Backspace)
        text = QString(QChar(8));
    const bool navigation = e->key() == Qt::Key_Left || e->key() == Qt::Key_Right ||
                            e->key() == Qt::Key_Up || e->key() == Qt::Key_Down ||
                            e->key() == Qt::Key_PageUp || e->key() == Qt::Key_PageDown ||
                            e->key() == Qt::Key_Home || e->key() == Qt::Key_End ||
                            e->key() == Qt::Key_Tab || e->key() == Qt::Key_Backtab;
    if (onTypeKey && onTypeKey(e)) {
        e->accept();
        return;
    }
    if (!navigation && !text.isEmpty() && onKey) {
        const auto ucs4 = text.toUcs4();
        if (!ucs4.isEmpty()) {
            onKey(char32_t(ucs4.front()));
            e->accept();
            return;
        }
    }
    QTableView::keyPressEvent(e);
}

// Cell texts are centred and fitted to the cell; painted cells get the colour of their rule.
void GridDelegate::paint(QPainter* p, const QStyleOptionViewItem& opt,
                         const QModelIndex& idx) const {
    std::optional<CellPaint> rule;
    if (view_->paintRule)
        rule = view_->paintRule(view_->Model()->GridCol(idx.column()),
                                view_->Model()->GridRow(idx.row()));
    int margin = 0;
    const QStyleOptionViewItem item = Fitted(opt, idx, &margin);
    const QWidget* widget = item.widget;
    QStyle* style = widget ? widget->style() : QApplication::style();
    if (!rule) {
        style->drawControl(QStyle::CE_ItemViewItem, &item, p, widget);
        PaintMark(p, opt, idx);
        return;
    }
    p->save();
    p->fillRect(opt.rect, rule->fill);
    if (opt.state & QStyle::State_Selected) {
        QColor sel = opt.palette.highlight().color();
        sel.setAlpha(90);
        p->fillRect(opt.rect, sel);
    }
    p->setPen(Qt::black);
    p->setFont(item.font);
    p->drawText(opt.rect.adjusted(margin, 0, -margin, 0), Qt::AlignCenter, item.text);
    p->restore();
    PaintMark(p, opt, idx);
}

// A small dark triangle in the top right corner: it keeps clear of the text and the colours.
void GridDelegate::PaintMark(QPainter* p, const QStyleOptionViewItem& opt,
                             const QModelIndex& idx) const {
    const GridModel* m = view_->Model();
    if (!m->markRule || !m->markRule(m->GridCol(idx.column()), m->GridRow(idx.row())))
        return;
    const int size = std::max(5, std::min(opt.rect.height(), opt.rect.width()) / 3);
    const QPoint tr = opt.rect.topRight() + QPoint(1, 0);
    const QPoint corner[3] = {tr, tr - QPoint(size, 0), tr + QPoint(0, size)};
    p->save();
    p->setRenderHint(QPainter::Antialiasing);
    p->setPen(QPen(Qt::white, 1));
    p->setBrush(QColor(20, 40, 160));
    p->drawPolygon(corner, 3);
    p->restore();
}

}  // namespace veltrano
