#include "log/log_timeline.h"

namespace veltrano {

double SecondsOfDay(const LogTime& t) {
    return static_cast<double>(t.hour * 3600 + t.minute * 60 + t.second) +
           static_cast<double>(t.millisecond) / 1000.0;
}

double LogTimeline::Next(double secondsOfDay) {
    // A time far before the last one is the next day.
    if (secondsOfDay + 43200 < lastOfDay_)
        dayOffset_ += 86400;
    lastOfDay_ = secondsOfDay;
    // A clock set back (summer time ending, a time server's correction) carries on from
    // where it was rather than standing still for as long as it went back.
    if (started_ && secondsOfDay + dayOffset_ < last_)
        dayOffset_ = last_ - secondsOfDay;
    last_ = secondsOfDay + dayOffset_;
    started_ = true;
    return last_;
}

}  // namespace veltrano
