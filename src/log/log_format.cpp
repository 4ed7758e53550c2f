#include "log/log_format.h"

#include <chrono>
#include <cstdio>

#include "common/local_time.h"

#include "common/text_forms.h"

namespace veltrano {

LogTime NowLogTime() {
    using namespace std::chrono;
    const auto now = system_clock::now();
    const std::time_t secs = system_clock::to_time_t(now);
    const std::tm local = LocalTime(secs);
    const auto ms = duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000;
    return {local.tm_hour, local.tm_min, local.tm_sec, static_cast<int>(ms)};
}

std::string TimeField(const LogTime& t) {
    return std::to_string(t.hour) + ":" + std::to_string(t.minute) + ":" +
           std::to_string(t.second) + "." + std::to_string(t.millisecond);
}

std::string RealField(double v) {
    std::string text = GeneralText(v);
    for (char& ch : text) {
        if (ch == ',')
            ch = '.';
    }
    return text;
}

std::string IntegerField(long long v) {
    return IntegerText(v);
}

std::string LogStamp(const std::tm& local, char dateSeparator) {
    const char sep = (dateSeparator == '/' || dateSeparator == '\\') ? '.' : dateSeparator;
    char buf[32];
    std::snprintf(buf, sizeof buf, "(%02d%c%02d%c%02d_%02d.%02d)", local.tm_mday, sep,
                  local.tm_mon + 1, sep, local.tm_year % 100, local.tm_hour, local.tm_min);
    return buf;
}

std::string LogStampNow(char dateSeparator) {
    const std::time_t secs = std::time(nullptr);
    const std::tm local = LocalTime(secs);
    return LogStamp(local, dateSeparator);
}

std::string JoinFields(const std::vector<std::string>& fields) {
    std::string line;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i > 0)
            line += ',';
        line += fields[i];
    }
    return line;
}

std::vector<std::string_view> SplitFields(std::string_view line) {
    std::vector<std::string_view> out;
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = line.find(',', start);
        out.push_back(line.substr(start, comma - start));
        if (comma == std::string_view::npos)
            break;
        start = comma + 1;
    }
    return out;
}

}  // namespace veltrano
