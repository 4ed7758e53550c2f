// The learning side of one connection: adapters over the link and the wideband reader,
// and the driver thread, ended in the right order. The window and the command line create
// one after a successful connect and destroy it at disconnect, before the link.
#pragma once

#include <memory>

#include "learning/education_thread.h"
#include "learning/learning_engine.h"
#include "learning/link_adapters.h"

namespace veltrano {

class LearningConnection {
  public:
    // `reader` may be null (no wideband controller); it must outlive this object, as must
    // `link` and `engine`. `log` may be null (no session log).
    LearningConnection(LearningEngine& engine, TOBDII& link, TLcThreat* reader,
                       std::unique_ptr<SessionLog> log)
        : link_(link), lambda_(reader), thread_(engine, link_, &lambda_, std::move(log)) {}

    // The link as the table transfers take it ("Применить изменения", the PCN switch).
    LearningLink& Link() { return link_; }
    // Asks the driver to end without waiting; the destructor waits.
    void Terminate() { thread_.Terminate(); }

  private:
    ObdiiLearningLink link_;
    LcLearningLambda lambda_;
    TEducation_Thread thread_;  // declared last: ends first
};

}  // namespace veltrano
