// The 3D surface of the table on the current tab, in a window of its own: the grid's axis
// labels, rotate and zoom with the mouse, reset view, and the live operating point as a marker.
// It pulls a snapshot when told that something changed, at most once per refresh interval.
#pragma once

#include <QColor>
#include <QString>
#include <QWidget>
#include <functional>
#include <optional>
#include <vector>

#include "learning/table_surface.h"

class QLabel;
class QTimer;

class Q3DSurface;
class QSurface3DSeries;
class QCustom3DItem;

namespace veltrano {

class SurfaceAxisLabels;

// What the view shows, as the window has it now.
struct SurfaceSnapshot {
    QString title;                        // the tab's caption; empty: no table on this tab
    std::optional<TableSurface> surface;  // nullopt: no image open
    LoadAxis rowAxis = LoadAxis::Throttle;
    std::vector<SurfaceCell> liveCells;  // empty while not connected
    QColor liveColour;                   // the colour the grid paints the point with
    bool operator==(const SurfaceSnapshot&) const = default;
};

class SurfaceView : public QWidget {
    Q_OBJECT
  public:
    using Source = std::function<SurfaceSnapshot()>;
    // Per-cell colour over the surface (c, r from 1); nullopt: the height gradient.
    using CellColours = std::function<std::optional<QColor>(int c, int r)>;

    explicit SurfaceView(Source source, QWidget* parent = nullptr);
    ~SurfaceView() override;

    // The table or the operating point may have changed; the view pulls a snapshot soon.
    void Changed();
    // Pulls and draws now (tests; the first show).
    void RefreshNow();
    void ResetView();
    void SetCellColours(CellColours colours);
    // The window as a picture, the graph included (a plain grab leaves OpenGL content out).
    QImage Picture();

    // False where OpenGL is not available: the view shows a message instead of the surface.
    bool HasGraph() const { return graph_ != nullptr; }
    Q3DSurface* Graph() const { return graph_; }
    const SurfaceSnapshot& Shown() const { return shown_; }
    // How often the surface data was replaced (unchanged snapshots replace nothing).
    int Uploads() const { return uploads_; }
    void SetRefreshInterval(int ms);
    // Whether OpenGL contexts can be made on this platform.
    static bool GlAvailable();

  protected:
    void showEvent(QShowEvent* e) override;

  private:
    void BuildGraph();
    void Draw(const SurfaceSnapshot& next);
    void DrawSurface(const TableSurface& s, const QString& title, LoadAxis rowAxis);
    void DrawMarkers(const SurfaceSnapshot& next, bool recolour);
    void ApplyColours();

    Source source_;
    CellColours colours_;
    SurfaceSnapshot shown_;
    bool drawnOnce_ = false;
    int uploads_ = 0;
    QTimer* refresh_ = nullptr;
    QLabel* caption_ = nullptr;
    QLabel* notice_ = nullptr;
    QWidget* container_ = nullptr;
    Q3DSurface* graph_ = nullptr;
    QSurface3DSeries* series_ = nullptr;
    SurfaceAxisLabels* columnLabels_ = nullptr;
    SurfaceAxisLabels* rowLabels_ = nullptr;
    std::vector<QCustom3DItem*> markers_;
};

}  // namespace veltrano
