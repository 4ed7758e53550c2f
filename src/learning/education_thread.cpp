#include "learning/education_thread.h"

#include <chrono>

namespace veltrano {
namespace {

// How long one idle wait lasts; bounds the reaction to Terminate and how late a reading that
// arrives while no record comes is shown. Records end the wait as they come.
constexpr std::chrono::milliseconds kWait{100};

}  // namespace

TEducation_Thread::TEducation_Thread(LearningEngine& engine, LearningLink& link,
                                     LearningLambda* lambda, std::unique_ptr<SessionLog> log)
    : engine_(engine), link_(link), lambda_(lambda), log_(std::move(log)) {
    thread_ = std::thread([this] { Execute(); });
}

TEducation_Thread::~TEducation_Thread() {
    Terminate();
    WaitFor();
}

void TEducation_Thread::Terminate() {
    {
        std::lock_guard lock(waitMutex_);
        terminated_ = true;
    }
    wake_.notify_all();
}

void TEducation_Thread::WaitFor() {
    if (thread_.joinable())
        thread_.join();
}

void TEducation_Thread::Execute() {
    while (!terminated_.load()) {
        if (link_.Running()) {
            link_.WaitForNew(kWait);
        } else {
            // A stopped link never raises FlagIsNew again; sleep instead of spinning on a
            // flag left set.
            std::unique_lock lock(waitMutex_);
            wake_.wait_for(lock, kWait, [this] { return terminated_.load(); });
        }
        if (terminated_.load())
            break;
        if (link_.Running() && link_.IsNew()) {
            engine_.ProcessRecord(conn_, link_, lambda_, log_.get());
        }
        if (lambda_ != nullptr && lambda_->Running() && lambda_->Pending()) {
            engine_.ShowPendingReading(lambda_->Reading());
        }
    }
    finished_ = true;
}

}  // namespace veltrano
