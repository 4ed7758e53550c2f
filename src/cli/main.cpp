// veltrano-cli: the calibration tools for scripts and for diffing calibrations.
#include <algorithm>
#include <iostream>
#include <map>

#include "cli/cli_commands.h"
#include "cli/cli_usage.h"
#include "cli/learn_command.h"
#include "cli/session_command.h"
#include "common/build_info.h"
#include "common/locale_separator.h"
#include "link/monitor_command.h"

int main(int argc, char** argv) {
    using namespace veltrano::cli;
    const std::map<std::string, int (*)(const Args&)> commands = {
        {"info", Info},         {"show", Show},     {"export", Export},
        {"checksum", Checksum}, {"resave", Resave}, {"demo-image", DemoImage},
        {"session", Session},   {"learn", Learn},   {"diff", Diff},
    };
    veltrano::UseLocaleDecimalSeparator();
    const Args args(argv + 1, argv + argc);
    if (!args.empty() && args[0] == "--version") {
        std::cout << veltrano::VersionLine("veltrano-cli") << "\n";
        return 0;
    }
    if (!args.empty() && (args[0] == "--help" || args[0] == "-h" || args[0] == "help")) {
        std::cout << Usage();
        return 0;
    }
    if (args.empty() || CommandUsage(args[0]).empty()) {
        std::cerr << Usage();
        return 2;
    }
    if (std::find(args.begin() + 1, args.end(), "--help") != args.end()) {
        std::cout << CommandUsage(args[0]);
        return 0;
    }
    if (args[0] == "monitor")
        return veltrano::RunMonitorCommand(argc - 2, argv + 2);
    return commands.at(args[0])(Args(args.begin() + 1, args.end()));
}
