#include "app/log_column_picker.h"

#include <QHeaderView>
#include <QScrollBar>
#include <algorithm>

#include "analysis/log_columns.h"

namespace veltrano {

namespace {

QString Utf8(std::string_view s) {
    return QString::fromUtf8(s.data(), qsizetype(s.size()));
}

}  // namespace

LogColumnPicker::LogColumnPicker(QWidget* parent) : QTreeWidget(parent) {
    setObjectName("LogColumnPicker");
    setHeaderHidden(true);
    setColumnCount(1);
    // Names are never cut short: the column is as wide as the longest one, and a narrow
    // panel scrolls sideways.
    setTextElideMode(Qt::ElideNone);
    header()->setStretchLastSection(false);
    header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    const auto& columns = LogColumns();
    for (ColumnGroup group : kColumnGroups) {
        auto* top = new QTreeWidgetItem(this, {Utf8(GroupName(group))});
        top->setFlags(Qt::ItemIsEnabled);
        QFont bold = top->font(0);
        bold.setBold(true);
        top->setFont(0, bold);
        for (int c = 1; c < kLogColumnCount; ++c) {  // TIME is the axis
            if (columns[size_t(c)].group != group)
                continue;
            auto* item = new QTreeWidgetItem(top, {Utf8(columns[size_t(c)].name)});
            item->setData(0, Qt::UserRole, c);
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
            item->setCheckState(0, Qt::Unchecked);
        }
    }
    expandAll();
    connect(this, &QTreeWidget::itemChanged, this, &LogColumnPicker::ItemChanged);
}

int LogColumnPicker::FullWidth() const {
    // The tree measures every row here (it has far fewer than its precision of 1000).
    return sizeHintForColumn(0) + 2 * frameWidth() + verticalScrollBar()->sizeHint().width();
}

QTreeWidgetItem* LogColumnPicker::ItemOf(int column) const {
    for (int g = 0; g < topLevelItemCount(); ++g)
        for (int i = 0; i < topLevelItem(g)->childCount(); ++i)
            if (topLevelItem(g)->child(i)->data(0, Qt::UserRole).toInt() == column)
                return topLevelItem(g)->child(i);
    return nullptr;
}

void LogColumnPicker::SetChecked(const std::vector<int>& columns) {
    setting_ = true;
    for (int g = 0; g < topLevelItemCount(); ++g)
        for (int i = 0; i < topLevelItem(g)->childCount(); ++i) {
            QTreeWidgetItem* item = topLevelItem(g)->child(i);
            const int c = item->data(0, Qt::UserRole).toInt();
            const bool on = std::find(columns.begin(), columns.end(), c) != columns.end();
            item->setCheckState(0, on ? Qt::Checked : Qt::Unchecked);
        }
    setting_ = false;
    checked_.clear();
    for (int c : columns)
        if (ItemOf(c))
            checked_.push_back(c);
    emit columnsChanged(checked_);
}

void LogColumnPicker::ItemChanged(QTreeWidgetItem* item) {
    if (setting_ || !item->parent())
        return;
    const int c = item->data(0, Qt::UserRole).toInt();
    std::erase(checked_, c);
    if (item->checkState(0) == Qt::Checked)
        checked_.push_back(c);
    emit columnsChanged(checked_);
}

}  // namespace veltrano
