// The learning driver: one thread per connection that runs the learning engine once per
// new live record while the link runs.
#pragma once

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

#include "learning/learning_engine.h"
#include "learning/learning_link.h"
#include "log/session_log.h"

namespace veltrano {

class TEducation_Thread {
  public:
    // Starts running at once. `link`, `lambda` (may be null) and `engine` must outlive the
    // thread; `log` (may be null) belongs to it.
    TEducation_Thread(LearningEngine& engine, LearningLink& link, LearningLambda* lambda,
                      std::unique_ptr<SessionLog> log);
    // Asks the thread to end and waits for it.
    ~TEducation_Thread();
    TEducation_Thread(const TEducation_Thread&) = delete;
    TEducation_Thread& operator=(const TEducation_Thread&) = delete;

    // Asks the thread to end; does not wait (it ends within one wait period).
    void Terminate();
    // Waits for the thread's end.
    void WaitFor();
    bool Finished() const { return finished_.load(); }

  private:
    void Execute();

    LearningEngine& engine_;
    LearningLink& link_;
    LearningLambda* lambda_;
    std::unique_ptr<SessionLog> log_;
    ConnectionLearningState conn_;  // starts at 0 with every connection
    std::atomic<bool> terminated_{false};
    std::atomic<bool> finished_{false};
    std::mutex waitMutex_;
    std::condition_variable wake_;
    std::thread thread_;
};

}  // namespace veltrano
