// The command line of the monitor command.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace veltrano {

struct MonitorOptions {
    std::string port;
    int baud = 10400;
    bool olt = false;
    long records = 0;  // 0: until interrupted
    bool json = false;
    std::optional<int> delay_ms;  // request pause; the link's own when absent
};

// Parses the arguments; on a mistake returns nothing and sets `error` to one line.
std::optional<MonitorOptions> ParseMonitorOptions(const std::vector<std::string>& args,
                                                  std::string& error);

}  // namespace veltrano
