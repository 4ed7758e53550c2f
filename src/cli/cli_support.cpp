#include "cli/cli_support.h"

#include <cstdio>
#include <filesystem>

#include "cli/cli_commands.h"
#include "cli/cli_messages.h"
#include "common/text_forms.h"

namespace veltrano::cli {

Parsed ParseArgs(const std::vector<std::string>& args, const std::set<std::string>& flags,
                 const std::set<std::string>& valued, std::size_t positionalCount) {
    Parsed p;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (flags.count(a)) {
            p.flags.insert(a);
        } else if (valued.count(a)) {
            if (i + 1 >= args.size()) {
                p.error = "option " + a + " needs a value";
                return p;
            }
            p.values[a] = args[++i];
        } else if (a.size() > 1 && a[0] == '-' && a[1] == '-') {
            p.error = "unknown option " + a;
            return p;
        } else {
            p.positional.push_back(a);
        }
    }
    if (p.positional.size() != positionalCount) {
        p.error = "expected " + std::to_string(positionalCount) + " arguments, got " +
                  std::to_string(p.positional.size());
    }
    return p;
}

std::optional<char> DecimalOption(const Parsed& parsed) {
    auto it = parsed.values.find("--decimal");
    if (it == parsed.values.end())
        return DecimalSeparator();  // the locale's
    if (it->second == "," || it->second == ".")
        return it->second[0];
    return std::nullopt;
}

bool OpenImage(const std::string& path, Calibration& out, char sep) {
    std::error_code ec;
    if (!std::filesystem::exists(path, ec)) {
        Fail(path + ": no such file");
        return false;
    }
    StderrMessages messages;
    if (!OpenCalibration(path, messages, out, sep)) {
        if (messages.warnings == 0)
            Fail(path + ": cannot open");
        return false;
    }
    return true;
}

std::string JsonString(const std::string& s) {
    std::string out = "\"";
    for (unsigned char c : s) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04x", c);
            out += buf;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

}  // namespace veltrano::cli
