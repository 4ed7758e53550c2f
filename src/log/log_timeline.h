// The time line of a session log: its rows carry the local time of day only, so a time far
// before the last one starts the next day, and a time a little before it (the clock set
// back) goes on from the last. The session's learning keeps its time the same way, so
// reading the log back gives each row the very time the record had on line.
#pragma once

#include "log/log_format.h"

namespace veltrano {

// Seconds since midnight, as the log's time field gives them.
double SecondsOfDay(const LogTime& t);

class LogTimeline {
  public:
    // The time of a row whose time of day is `secondsOfDay`; never before the last one.
    double Next(double secondsOfDay);

  private:
    double lastOfDay_ = 0;
    double dayOffset_ = 0;
    double last_ = 0;
    bool started_ = false;
};

}  // namespace veltrano
