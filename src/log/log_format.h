// Field forms and the file name stamp of the session log.
#pragma once

#include <ctime>
#include <string>
#include <string_view>
#include <vector>

namespace veltrano {

// Local time of day with milliseconds.
struct LogTime {
    int hour = 0;
    int minute = 0;
    int second = 0;
    int millisecond = 0;
};

LogTime NowLogTime();

// "9:5:3.7" for 09:05:03.007: no leading zeros, no date.
std::string TimeField(const LogTime& t);

// General text under the user's separator, every "," turned into ".".
std::string RealField(double v);

// Plain decimal integer.
std::string IntegerField(long long v);

// "(dd/mm/yy_hh.mm)" with "/" the date separator ("(25.03.14_18.07)"). A separator that
// would split the path ('/' or '\\') is written as '.'.
std::string LogStamp(const std::tm& local, char dateSeparator = '.');

// The stamp of the current local time.
std::string LogStampNow(char dateSeparator = '.');

// The fields joined by "," with no quoting.
std::string JoinFields(const std::vector<std::string>& fields);

// Fields of a row or header line.
std::vector<std::string_view> SplitFields(std::string_view line);

}  // namespace veltrano
