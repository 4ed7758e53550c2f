#include "app/log_replay.h"

#include <QButtonGroup>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTimer>
#include <cmath>

#include "analysis/replay_session.h"
#include "app/app_texts.h"
#include "app/main_window.h"

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

}  // namespace

LogReplay::LogReplay(TMainForm& window, std::shared_ptr<const LogTable> log, const QString& name)
    : QWidget(&window, Qt::Tool), window_(window), log_(std::move(log)) {
    setObjectName("LogReplay");
    setWindowTitle(QString(t::kReplayCaption) + " — " + name);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(6, 4, 6, 4);
    play_ = new QPushButton(t::kReplayPlay, this);
    play_->setObjectName("ReplayPlay");
    play_->setFixedWidth(90);
    row->addWidget(play_);
    speeds_ = new QButtonGroup(this);
    for (int factor : {1, 4, 16}) {
        auto* radio = new QRadioButton(QString("%1×").arg(factor), this);
        radio->setObjectName(QString("ReplaySpeed%1").arg(factor));
        speeds_->addButton(radio, factor);
        row->addWidget(radio);
    }
    speeds_->button(1)->setChecked(true);
    slider_ = new QSlider(Qt::Horizontal, this);
    slider_->setObjectName("ReplaySlider");
    slider_->setRange(0, int(std::max<std::size_t>(log_->Rows(), 1) - 1));
    row->addWidget(slider_, 1);
    position_ = new QLabel(this);
    position_->setObjectName("ReplayPosition");
    position_->setMinimumWidth(150);
    row->addWidget(position_);
    auto* stop = new QPushButton(t::kReplayStop, this);
    stop->setObjectName("ReplayStop");
    row->addWidget(stop);

    educations_ = window_.Engine().Educations();
    window_.Engine().SetEducations(false);  // a replay shows, it does not learn
    session_ = std::make_unique<ReplaySession>(window_.Engine(), log_);
    window_.SetReplayMode(true);

    connect(play_, &QPushButton::clicked, this, [this] {
        if (Source().Playing())
            Source().Pause();
        else
            Source().Play();
        Sync();
    });
    connect(speeds_, &QButtonGroup::idClicked, this, [this](int id) { SetSpeed(id); });
    connect(slider_, &QSlider::sliderMoved, this,
            [this](int value) { Source().Seek(std::size_t(value)); });
    connect(stop, &QPushButton::clicked, this, &LogReplay::stopRequested);
    timer_ = new QTimer(this);
    timer_->setInterval(100);
    connect(timer_, &QTimer::timeout, this, &LogReplay::Sync);
    timer_->start();
    resize(640, 40);
    Sync();
}

LogReplay::~LogReplay() {
    timer_->stop();
    session_.reset();
    window_.Engine().SetEducations(educations_);
    window_.SetReplayMode(false);
}

void LogReplay::closeEvent(QCloseEvent* e) {
    QWidget::closeEvent(e);
    emit stopRequested();
}

ReplaySource& LogReplay::Source() {
    return session_->Source();
}

void LogReplay::SetSpeed(int factor) {
    Source().SetSpeed(factor);
    if (auto* b = speeds_->button(Source().Speed()))
        b->setChecked(true);
}

void LogReplay::Sync() {
    const ReplaySource& s = Source();
    play_->setText(s.Playing() ? t::kReplayPause : t::kReplayPlay);
    const std::size_t rows = s.Rows();
    const std::size_t at = std::min(s.Position(), rows > 0 ? rows - 1 : 0);
    if (!slider_->isSliderDown())
        slider_->setValue(int(at));
    if (rows > 0)
        position_->setText(
            QString("%1  %2 / %3").arg(TimeOfDay(s.Log().Time(at))).arg(at + 1).arg(rows));
}

}  // namespace veltrano
