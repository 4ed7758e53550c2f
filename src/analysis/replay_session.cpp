#include "analysis/replay_session.h"

#include "analysis/log_record.h"

namespace veltrano {

void ReplayLink::Publish(LiveRecord record) {
    {
        std::lock_guard lock(mutex_);
        record.sequence = ++sequence_;
        live_ = record;
    }
    isNew_ = true;
}

bool ReplayLink::WaitForNew(std::chrono::milliseconds timeout) {
    return isNew_.WaitFor(true, timeout);
}

LiveRecord ReplayLink::Live() const {
    std::lock_guard lock(mutex_);
    return live_;
}

void ReplayLink::WithTables(const std::function<void(LinkTables&)>& fn) {
    std::lock_guard lock(mutex_);
    fn(tables_);
}

void ReplayLambda::Publish(double afr) {
    std::lock_guard lock(mutex_);
    reading_.AFR = afr;
    reading_.lc = true;
}

bool ReplayLambda::Pending() const {
    std::lock_guard lock(mutex_);
    return reading_.lc;
}

std::optional<LambdaReading> ReplayLambda::Take() {
    std::lock_guard lock(mutex_);
    if (!reading_.lc)
        return std::nullopt;
    reading_.lc = false;
    return reading_;
}

LambdaReading ReplayLambda::Reading() const {
    std::lock_guard lock(mutex_);
    return reading_;
}

ReplaySession::ReplaySession(LearningEngine& engine, std::shared_ptr<const LogTable> log)
    : source_(std::move(log)) {
    cycle_ = std::make_unique<TEducation_Thread>(engine, link_, &lambda_, nullptr);
    driver_ = std::thread([this] { Drive(); });
}

ReplaySession::~ReplaySession() {
    stopping_ = true;
    source_.Stop();
    if (driver_.joinable())
        driver_.join();
    cycle_.reset();
}

void ReplaySession::Drive() {
    const LogTable& log = source_.Log();
    while (!stopping_.load()) {
        const auto row = source_.WaitNext(std::chrono::milliseconds(100));
        if (!row)
            continue;
        const double afr = log.Value(*row, logcol::WidebandAfr);
        if (afr > 0)
            lambda_.Publish(afr);
        LiveRecord r = RecordOfRow(log, *row);
        link_.Publish(r);
    }
}

}  // namespace veltrano
