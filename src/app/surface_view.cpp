#include "app/surface_view.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLinearGradient>
#include <QOpenGLContext>
#include <QPainter>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <QtDataVisualization/Q3DCamera>
#include <QtDataVisualization/Q3DSurface>
#include <QtDataVisualization/Q3DTheme>
#include <QtDataVisualization/QCustom3DItem>
#include <QtDataVisualization/QSurface3DSeries>
#include <QtDataVisualization/QSurfaceDataProxy>
#include <QtDataVisualization/QValue3DAxis>
#include <QtDataVisualization/QValue3DAxisFormatter>
#include <algorithm>

#include "app/app_texts.h"
#include "common/text_forms.h"

namespace veltrano {
namespace t = app_texts;

// Labels an axis over the cell indices 1..n with the grid's own label texts.
class SurfaceAxisLabels : public QValue3DAxisFormatter {
  public:
    explicit SurfaceAxisLabels(QObject* parent = nullptr) : QValue3DAxisFormatter(parent) {}

    void SetLabels(const QStringList& labels) {
        if (labels == labels_)
            return;
        labels_ = labels;
        markDirty(true);
    }

  protected:
    QValue3DAxisFormatter* createNewInstance() const override { return new SurfaceAxisLabels; }

    void populateCopy(QValue3DAxisFormatter& copy) const override {
        QValue3DAxisFormatter::populateCopy(copy);
        static_cast<SurfaceAxisLabels&>(copy).labels_ = labels_;
    }

    void recalculate() override {
        gridPositions().clear();
        labelPositions().clear();
        labelStrings().clear();
        subGridPositions().clear();
        const qsizetype n = labels_.size();
        if (n < 2)
            return;
        // 32 labels on one edge would overlap: every other one is shown.
        const qsizetype step = n > 16 ? 2 : 1;
        for (qsizetype i = 0; i < n; ++i) {
            const float at = float(i) / float(n - 1);
            gridPositions().append(at);
            if (i % step == 0 || i == n - 1) {
                labelPositions().append(at);
                labelStrings().append(labels_[i]);
            }
        }
    }

  private:
    QStringList labels_;
};

namespace {

constexpr float kZoom = 75.0f;

QString AxisTitle(LoadAxis axis) {
    switch (axis) {
        case LoadAxis::Pressure:
            return t::kAxisPressure;
        case LoadAxis::AirFill:
            return t::kAxisAirFill;
        case LoadAxis::Throttle:
            break;
    }
    return t::kAxisThrottle;
}

QStringList ToStrings(const std::vector<std::string>& texts) {
    QStringList out;
    for (const std::string& s : texts)
        out.append(QString::fromStdString(s));
    return out;
}

QImage Swatch(const QColor& colour) {
    QImage img(2, 2, QImage::Format_RGB32);
    img.fill(colour);
    return img;
}

}  // namespace

bool SurfaceView::GlAvailable() {
    static const bool available = [] {
        QOpenGLContext probe;
        return probe.create();
    }();
    return available;
}

SurfaceView::SurfaceView(Source source, QWidget* parent)
    : QWidget(parent, Qt::Window), source_(std::move(source)) {
    setObjectName("SurfaceView");
    setWindowTitle(t::kSurfaceView);
    resize(760, 560);
    auto* col = new QVBoxLayout(this);
    col->setContentsMargins(4, 4, 4, 4);
    auto* top = new QHBoxLayout();
    caption_ = new QLabel(this);
    caption_->setObjectName("SurfaceCaption");
    QFont bold = caption_->font();
    bold.setBold(true);
    caption_->setFont(bold);
    auto* hint = new QLabel(t::kSurfaceHint, this);
    auto* reset = new QPushButton(t::kSurfaceReset, this);
    reset->setObjectName("SurfaceReset");
    connect(reset, &QPushButton::clicked, this, &SurfaceView::ResetView);
    top->addWidget(caption_);
    top->addStretch(1);
    top->addWidget(hint);
    top->addWidget(reset);
    col->addLayout(top);
    notice_ = new QLabel(this);
    notice_->setObjectName("SurfaceNotice");
    notice_->setAlignment(Qt::AlignCenter);
    col->addWidget(notice_, 1);
    if (GlAvailable()) {
        BuildGraph();
        container_ = QWidget::createWindowContainer(graph_, this);
        container_->setObjectName("SurfaceGraph");
        container_->setMinimumSize(320, 240);
        col->addWidget(container_, 1);
    } else {
        notice_->setText(t::kSurfaceNoGl);
    }
    refresh_ = new QTimer(this);
    refresh_->setSingleShot(true);
    refresh_->setInterval(40);
    connect(refresh_, &QTimer::timeout, this, &SurfaceView::RefreshNow);
}

SurfaceView::~SurfaceView() = default;

void SurfaceView::BuildGraph() {
    graph_ = new Q3DSurface();
    graph_->activeTheme()->setType(Q3DTheme::ThemeQt);
    QFont f = graph_->activeTheme()->font();
    f.setPointSize(26);
    graph_->activeTheme()->setFont(f);
    graph_->setShadowQuality(QAbstract3DGraph::ShadowQualityNone);
    // Value labels with the user's decimal separator.
    graph_->setLocale(DecimalSeparator() == ',' ? QLocale(QLocale::Russian, QLocale::Russia)
                                                : QLocale::c());
    auto* x = new QValue3DAxis;
    auto* z = new QValue3DAxis;
    columnLabels_ = new SurfaceAxisLabels;
    rowLabels_ = new SurfaceAxisLabels;
    x->setFormatter(columnLabels_);
    z->setFormatter(rowLabels_);
    x->setTitle(t::kAxisRpm);
    for (QValue3DAxis* a : {x, z}) {
        a->setTitleVisible(true);
        a->setLabelAutoRotation(30);
    }
    graph_->setAxisX(x);
    graph_->setAxisZ(z);
    graph_->axisY()->setTitleVisible(true);
    graph_->axisY()->setLabelFormat("%.2f");
    series_ = new QSurface3DSeries(new QSurfaceDataProxy);
    series_->setDrawMode(QSurface3DSeries::DrawSurfaceAndWireframe);
    series_->setFlatShadingEnabled(false);
    QLinearGradient heights;
    heights.setColorAt(0.0, QColor(30, 60, 200));
    heights.setColorAt(0.35, QColor(0, 190, 200));
    heights.setColorAt(0.6, QColor(90, 200, 60));
    heights.setColorAt(0.8, QColor(240, 220, 40));
    heights.setColorAt(1.0, QColor(220, 40, 30));
    series_->setBaseGradient(heights);
    series_->setColorStyle(Q3DTheme::ColorStyleRangeGradient);
    series_->setItemLabelFormat("@xLabel, @zLabel: @yLabel");
    graph_->addSeries(series_);
    ResetView();
}

void SurfaceView::SetRefreshInterval(int ms) {
    refresh_->setInterval(ms);
}

void SurfaceView::Changed() {
    if (isVisible() && !refresh_->isActive())
        refresh_->start();
}

void SurfaceView::showEvent(QShowEvent* e) {
    QWidget::showEvent(e);
    RefreshNow();
}

void SurfaceView::RefreshNow() {
    refresh_->stop();
    Draw(source_ ? source_() : SurfaceSnapshot{});
}

void SurfaceView::ResetView() {
    if (!graph_)
        return;
    graph_->scene()->activeCamera()->setCameraPreset(Q3DCamera::CameraPresetIsometricRight);
    graph_->scene()->activeCamera()->setZoomLevel(kZoom);
}

QImage SurfaceView::Picture() {
    QImage picture = grab().toImage();
    if (graph_ && container_ && container_->isVisible()) {
        const qreal ratio = picture.devicePixelRatio();
        const QImage frame = graph_->renderToImage(0, container_->size() * ratio);
        QPainter p(&picture);
        p.drawImage(QRectF(container_->geometry()), frame);
    }
    return picture;
}

void SurfaceView::SetCellColours(CellColours colours) {
    colours_ = std::move(colours);
    ApplyColours();
}

void SurfaceView::Draw(const SurfaceSnapshot& next) {
    if (drawnOnce_ && next == shown_)
        return;
    const bool surfaceChanged = !drawnOnce_ || next.surface != shown_.surface ||
                                next.title != shown_.title || next.rowAxis != shown_.rowAxis;
    caption_->setText(next.title);
    const QString notice = graph_ == nullptr      ? QString(t::kSurfaceNoGl)
                           : next.title.isEmpty() ? QString(t::kSurfaceNoTable)
                           : !next.surface        ? QString(t::kSurfaceNoImage)
                                                  : QString();
    notice_->setText(notice);
    notice_->setVisible(!notice.isEmpty());
    if (container_)
        container_->setVisible(notice.isEmpty());
    if (surfaceChanged && next.surface) {
        ++uploads_;
        if (graph_)
            DrawSurface(*next.surface, next.title, next.rowAxis);
    }
    const bool recolour = !drawnOnce_ || next.liveColour != shown_.liveColour;
    shown_ = next;
    drawnOnce_ = true;
    if (surfaceChanged)
        ApplyColours();
    DrawMarkers(next, recolour);
}

void SurfaceView::DrawSurface(const TableSurface& s, const QString& title, LoadAxis rowAxis) {
    auto* rows = new QSurfaceDataArray;
    rows->reserve(s.rows);
    for (int r = 1; r <= s.rows; ++r) {
        auto* row = new QSurfaceDataRow(s.columns);
        for (int c = 1; c <= s.columns; ++c)
            (*row)[c - 1].setPosition(QVector3D(float(c), float(s.Height(c, r)), float(r)));
        rows->append(row);
    }
    series_->dataProxy()->resetArray(rows);
    columnLabels_->SetLabels(ToStrings(s.columnLabels));
    rowLabels_->SetLabels(ToStrings(s.rowLabels));
    graph_->axisX()->setRange(1.0f, float(s.columns));
    graph_->axisZ()->setRange(1.0f, float(s.rows));
    graph_->axisZ()->setTitle(AxisTitle(rowAxis));
    graph_->axisY()->setTitle(title);
    const double pad = std::max((s.high - s.low) * 0.05, 0.01);
    graph_->axisY()->setRange(float(s.low - pad), float(s.high + pad));
}

void SurfaceView::DrawMarkers(const SurfaceSnapshot& next, bool recolour) {
    if (!graph_)
        return;
    const std::size_t want = next.surface ? next.liveCells.size() : 0;
    while (markers_.size() > want) {
        graph_->removeCustomItem(markers_.back());  // deletes the item
        markers_.pop_back();
    }
    while (markers_.size() < want) {
        auto* item = new QCustom3DItem;
        item->setMeshFile(":/defaultMeshes/sphereSmooth");
        item->setScaling(QVector3D(0.12f, 0.12f, 0.12f));
        item->setShadowCasting(false);
        item->setTextureImage(Swatch(next.liveColour));
        graph_->addCustomItem(item);
        markers_.push_back(item);
    }
    for (std::size_t i = 0; i < want; ++i) {
        const SurfaceCell cell = next.liveCells[i];
        const double h = next.surface->Height(cell.c, cell.r);
        markers_[i]->setPosition(QVector3D(float(cell.c), float(h), float(cell.r)));
        if (recolour)
            markers_[i]->setTextureImage(Swatch(next.liveColour));
    }
}

void SurfaceView::ApplyColours() {
    if (!graph_ || !shown_.surface)
        return;
    if (!colours_) {
        series_->setTexture(QImage());
        return;
    }
    const TableSurface& s = *shown_.surface;
    // One texel per cell; the texture spans the surface from its first to its last cell.
    QImage texture(s.columns, s.rows, QImage::Format_RGB32);
    for (int r = 1; r <= s.rows; ++r)
        for (int c = 1; c <= s.columns; ++c)
            texture.setPixelColor(c - 1, s.rows - r,
                                  colours_(c, r).value_or(QColor(Qt::lightGray)));
    series_->setTexture(texture);
}

}  // namespace veltrano
