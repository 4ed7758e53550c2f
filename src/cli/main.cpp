// veltrano-cli: the calibration tools for scripts and for diffing calibrations.
#include <iostream>
#include <map>

#include "cli/cli_commands.h"
#include "cli/session_command.h"
#include "link/monitor_command.h"

namespace {

constexpr const char* kUsage =
    "usage: veltrano-cli COMMAND ...\n"
    "  info [--json] IMAGE\n"
    "  show [--decimal ,|.] IMAGE TABLE      TABLE: PCN PCN_TRT PCN_32 PCN_32x32 BCN UOZ AFR "
    "DATA\n"
    "  export [--decimal ,|.] [--trt] IMAGE TABLE OUT   TABLE: BCN PCN AFR UOZ\n"
    "  checksum [--fix] IMAGE\n"
    "  resave IMAGE OUT\n"
    "  demo-image [--variant NAME] [--size BYTES] OUT\n"
    "  diff [--json] A.bin B.bin\n"
    "  monitor --port DEV [--baud 10400|38400|57600] [--olt] [--records N] [--json] [--delay MS]\n"
    "  session --port DEV --image IMAGE [--lambda-port DEV --lambda-type LC-1/2|AEM]\n"
    "          [--source shdk|voltdk|dk] [--target olt|ram] [--learn] [--hits N] [--delay MS]\n"
    "          [--records N | --seconds S] [--log-dir DIR] [--save-image OUT] [--settings INI]\n";

}  // namespace

int main(int argc, char** argv) {
    using namespace veltrano::cli;
    const std::map<std::string, int (*)(const Args&)> commands = {
        {"info", Info},         {"show", Show},     {"export", Export},
        {"checksum", Checksum}, {"resave", Resave}, {"demo-image", DemoImage},
        {"session", Session},   {"diff", Diff},
    };
    if (argc >= 2 && std::string(argv[1]) == "monitor") {
        return veltrano::RunMonitorCommand(argc - 2, argv + 2);
    }
    if (argc < 2 || commands.count(argv[1]) == 0) {
        std::cerr << kUsage;
        return 2;
    }
    return commands.at(argv[1])(Args(argv + 2, argv + argc));
}
