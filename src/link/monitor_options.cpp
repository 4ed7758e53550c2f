#include "link/monitor_options.h"

#include "common/text_forms.h"

namespace veltrano {
namespace {

std::optional<long long> Whole(const std::string& text, long long low, long long high) {
    const auto v = ParseInteger(text);
    if (!v || *v < low || *v > high)
        return std::nullopt;
    return v;
}

}  // namespace

std::optional<MonitorOptions> ParseMonitorOptions(const std::vector<std::string>& args,
                                                  std::string& error) {
    MonitorOptions o;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool has_value = i + 1 < args.size();
        if (a == "--olt") {
            o.olt = true;
        } else if (a == "--json") {
            o.json = true;
        } else if (a == "--port" || a == "--baud" || a == "--records" || a == "--delay") {
            if (!has_value) {
                error = a + " needs a value";
                return std::nullopt;
            }
            const std::string& v = args[++i];
            if (a == "--port") {
                o.port = v;
            } else if (a == "--baud") {
                const auto b = Whole(v, 0, 1000000);
                if (!b || (*b != 10400 && *b != 38400 && *b != 57600)) {
                    error = "--baud must be 10400, 38400 or 57600";
                    return std::nullopt;
                }
                o.baud = static_cast<int>(*b);
            } else if (a == "--records") {
                const auto n = Whole(v, 1, 1000000000);
                if (!n) {
                    error = "--records must be a positive number";
                    return std::nullopt;
                }
                o.records = static_cast<long>(*n);
            } else {
                const auto d = Whole(v, 0, 10000);
                if (!d) {
                    error = "--delay must be from 0 to 10000 ms";
                    return std::nullopt;
                }
                o.delay_ms = static_cast<int>(*d);
            }
        } else {
            error = "unknown argument " + a;
            return std::nullopt;
        }
    }
    if (o.port.empty()) {
        error = "--port DEV is required";
        return std::nullopt;
    }
    return o;
}

}  // namespace veltrano
