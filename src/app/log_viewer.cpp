#include "app/log_viewer.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QScreen>
#include <QSplitter>
#include <QTabWidget>
#include <QVBoxLayout>
#include <cmath>

#include "analysis/cell_axes.h"
#include "analysis/log_reader.h"
#include "app/app_texts.h"
#include "app/cell_map_view.h"
#include "app/log_column_picker.h"
#include "app/log_filter_box.h"
#include "app/plot_view.h"
#include "common/messages.h"

namespace veltrano {
namespace t = app_texts;

namespace {

QString TimeOfDay(double seconds) {
    const long s = std::lround(std::floor(seconds)) % 86400;
    return QString("%1:%2:%3")
        .arg(s / 3600, 2, 10, QChar('0'))
        .arg(s / 60 % 60, 2, 10, QChar('0'))
        .arg(s % 60, 2, 10, QChar('0'));
}

QString Utf8(std::string_view s) {
    return QString::fromUtf8(s.data(), qsizetype(s.size()));
}

// Rounded to `step` (whole rpm, a tenth of a percent of throttle).
QStringList Labels(const std::array<std::optional<double>, 16>& axis, double step) {
    QStringList out;
    for (const auto& v : axis)
        out << (v ? QString::number(std::round(*v / step) * step, 'g', 6)
                  : QString(t::kLogAxisUnseen));
    return out;
}

}  // namespace

LogViewer::LogViewer(Messages& messages, QWidget* parent)
    : QWidget(parent, Qt::Window), messages_(messages) {
    setObjectName("LogViewer");
    setWindowTitle(t::kLogViewerCaption);
    auto* col = new QVBoxLayout(this);
    col->setContentsMargins(4, 4, 4, 4);
    summary_ = new QLabel(this);
    summary_->setObjectName("LogSummary");
    col->addWidget(summary_);

    auto* split = new QSplitter(Qt::Horizontal, this);
    auto* left = new QWidget(split);
    auto* leftCol = new QVBoxLayout(left);
    leftCol->setContentsMargins(0, 0, 0, 0);
    picker_ = new LogColumnPicker(left);
    filters_ = new LogFilterBox(left);
    leftCol->addWidget(picker_, 1);
    leftCol->addWidget(filters_);
    tabs_ = new QTabWidget(split);
    plots_ = new PlotView(tabs_);
    plots_->SetTimeText(TimeOfDay);
    map_ = new CellMapView(tabs_);
    tabs_->addTab(plots_, t::kLogPlots);
    tabs_->addTab(map_, t::kLogCellMap);
    split->addWidget(left);
    split->addWidget(tabs_);
    split->setStretchFactor(1, 1);
    // The channel names whole, up to some two fifths of the window.
    const int pickerWidth = std::min(picker_->FullWidth(), 380);
    split->setSizes({pickerWidth, 1000 - pickerWidth});
    col->addWidget(split, 1);

    connect(picker_, &LogColumnPicker::columnsChanged, this, &LogViewer::ShowColumns);
    connect(map_, &CellMapView::cellPicked, this, &LogViewer::CellPicked);
    connect(filters_, &LogFilterBox::changed, this, &LogViewer::Recompute);
    // Room for the plots, within a small laptop's screen.
    QSize size(1000, 540);
    if (const QScreen* s = screen())
        size = size.boundedTo(s->availableGeometry().size());
    resize(size);
}

LogViewer::~LogViewer() = default;

bool LogViewer::Open(const QString& path) {
    LogReadResult read = ReadSessionLog(path.toStdString());
    if (!read.ok) {
        if (!read.error.empty())
            messages_.Warning(read.error, t::kErrorCaption);
        return false;
    }
    path_ = path;
    Show(std::make_shared<LogTable>(std::move(read.table)), QFileInfo(path).fileName(),
         read.skippedRows);
    return true;
}

void LogViewer::Show(std::shared_ptr<const LogTable> table, const QString& name, long skippedRows) {
    table_ = std::move(table);
    setWindowTitle(QString(t::kLogViewerCaption) + " — " + name);
    const std::size_t rows = table_->Rows();
    QString summary = QString(t::kLogSummary).arg(name).arg(rows);
    if (rows > 0)
        summary += QString(t::kLogSpan)
                       .arg(TimeOfDay(table_->Times().front()))
                       .arg(TimeOfDay(table_->Times().back()));
    if (skippedRows > 0)
        summary += QString(t::kLogSkipped).arg(skippedRows);
    summary_->setText(summary);

    plots_->SetTable(table_.get());
    std::vector<int> marks;
    const auto ram = table_->Column(logcol::RamRewrite);
    const auto olt = table_->Column(logcol::OltRewrite);
    for (std::size_t i = 0; i < rows; ++i)
        if (ram[i] != 0 || olt[i] != 0)
            marks.push_back(int(i));
    plots_->SetMarkers(std::move(marks));
    Recompute();
    if (picker_->Checked().empty())
        picker_->SetChecked({logcol::Rpm, logcol::Throttle, logcol::WidebandAfr});
    else
        ShowColumns(picker_->Checked());
}

void LogViewer::SetImageAxes(std::optional<MapAxes> axes) {
    imageAxes_ = std::move(axes);
    Recompute();
}

void LogViewer::ShowColumns(const std::vector<int>& columns) {
    std::vector<PlotSeries> panes;
    if (table_)
        for (int c : columns)
            panes.push_back({Utf8(LogColumns()[size_t(c)].name), c});
    plots_->SetPanes(std::move(panes));
}

void LogViewer::Recompute() {
    if (!table_)
        return;
    CellSource source;
    source.loadIsPressure = imageAxes_ && imageAxes_->loadIsPressure;
    cells_ = CellsOfRows(*table_, source);
    LabelMap();
    keep_ = FilterRows(*table_, cells_, filters_->Filter());
    cellMap_ = std::make_unique<CellMap>(*table_, cells_, keep_);
    MapCells shown{};
    for (int c = 1; c <= 16; ++c)
        for (int r = 1; r <= 16; ++r) {
            const CellStats& s = cellMap_->At(c, r);
            shown[size_t(c)][size_t(r)] = {s.rows, s.mixtureRows, s.meanError, s.spread};
        }
    map_->SetCells(shown);
    plots_->SetShown(keep_);
    const QPoint picked = map_->Picked();
    plots_->SetHighlight(picked.x() > 0 ? cellMap_->RowsOf(picked.x(), picked.y())
                                        : std::vector<std::uint32_t>{});
}

void LogViewer::LabelMap() {
    if (imageAxes_) {
        map_->SetAxes(imageAxes_->rpm, imageAxes_->load);
        return;
    }
    const LoggedAxes seen = AxesOfLog(*table_, cells_, false);
    map_->SetAxes(Labels(seen.rpm, 1.0), Labels(seen.load, 0.1));
}

void LogViewer::CellPicked(int c, int r) {
    if (cellMap_)
        plots_->SetHighlight(cellMap_->RowsOf(c, r));
}

}  // namespace veltrano
