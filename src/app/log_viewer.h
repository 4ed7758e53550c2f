// The log viewer, a window of its own: the columns picked from a grouped list are plotted in
// stacked panes over one time axis, with markers where the fuel table was rewritten; the
// per-cell map shows the mixture error over the PCN grid, and a click on a cell marks its
// rows in the plots.
#pragma once

#include <QString>
#include <QStringList>
#include <QWidget>
#include <memory>
#include <optional>
#include <vector>

#include "analysis/cell_map.h"
#include "analysis/log_table.h"
#include "analysis/row_filter.h"

class QLabel;
class QTabWidget;

namespace veltrano {

class CellMapView;
class LogColumnPicker;
class LogFilterBox;
class Messages;
class PlotView;

// The fuel table's axes as the open image's PCN grid labels them, 16 texts each.
struct MapAxes {
    QStringList rpm;   // the columns
    QStringList load;  // the rows: throttle, or pressure when the table runs on pressure
    bool loadIsPressure = false;
};

class LogViewer : public QWidget {
    Q_OBJECT
  public:
    explicit LogViewer(Messages& messages, QWidget* parent = nullptr);
    ~LogViewer() override;

    // Reads the log and shows it; a file that is not a log is refused with a warning and
    // leaves what was shown.
    bool Open(const QString& path);
    // Labels the map with the image's axes and takes the rows' cells on its load axis;
    // without them the map is labelled with the values the log shows per cell.
    void SetImageAxes(std::optional<MapAxes> axes);
    // A log already read (tests, the other log windows).
    void Show(std::shared_ptr<const LogTable> table, const QString& name, long skippedRows);

    const LogTable* Table() const { return table_.get(); }
    std::shared_ptr<const LogTable> SharedTable() const { return table_; }
    const QString& Path() const { return path_; }
    LogColumnPicker* Picker() const { return picker_; }
    LogFilterBox* Filters() const { return filters_; }
    // Rows the filters keep, one byte per row.
    const std::vector<std::uint8_t>& Kept() const { return keep_; }
    PlotView* Plots() const { return plots_; }
    CellMapView* Map() const { return map_; }
    QTabWidget* Tabs() const { return tabs_; }
    QLabel* Summary() const { return summary_; }

  private:
    void ShowColumns(const std::vector<int>& columns);
    void CellPicked(int c, int r);
    // Cells, filter mask and map after a new log or a changed filter.
    void Recompute();
    void LabelMap();

    Messages& messages_;
    std::shared_ptr<const LogTable> table_;
    QString path_;
    std::optional<MapAxes> imageAxes_;
    RowCells cells_;
    std::vector<std::uint8_t> keep_;
    std::unique_ptr<CellMap> cellMap_;
    LogColumnPicker* picker_ = nullptr;
    LogFilterBox* filters_ = nullptr;
    PlotView* plots_ = nullptr;
    CellMapView* map_ = nullptr;
    QTabWidget* tabs_ = nullptr;
    QLabel* summary_ = nullptr;
};

}  // namespace veltrano
