#include "cli/cli_usage.h"

#include <array>
#include <utility>

namespace veltrano::cli {
namespace {

using Entry = std::pair<const char*, const char*>;

const std::array<Entry, 10> kCommands = {{
    {"info", "  info [--json] IMAGE\n"},
    {"show",
     "  show [--decimal ,|.] IMAGE TABLE      TABLE: PCN PCN_TRT PCN_32 PCN_32x32 BCN UOZ AFR "
     "DATA\n"},
    {"export", "  export [--decimal ,|.] [--trt] IMAGE TABLE OUT   TABLE: BCN PCN AFR UOZ\n"},
    {"checksum", "  checksum [--fix] IMAGE\n"},
    {"resave", "  resave IMAGE OUT\n"},
    {"demo-image", "  demo-image [--variant NAME] [--size BYTES] OUT\n"},
    {"diff", "  diff [--json] A.bin B.bin\n"},
    {"monitor",
     "  monitor --port DEV [--baud 10400|38400|57600] [--olt] [--records N] [--json] "
     "[--delay MS]\n"},
    {"session",
     "  session --port DEV --image IMAGE [--lambda-port DEV [--lambda-type LC-1/2|AEM]]\n"
     "          [--source shdk|voltdk|dk] [--target olt|ram] [--learn] [--hits N] [--delay MS]\n"
     "          [--mode alg2|precise]\n"
     "          [--records N | --seconds S] [--log-dir DIR] [--save-image OUT] [--settings "
     "INI]\n"},
    {"learn",
     "  learn --image IMAGE --log LOG.csv [--source shdk|voltdk|dk] [--mode alg2|precise]\n"
     "        [--hits N] [--stationary N] [--coolant C] [--out NEW.bin] [--json]\n"},
}};

constexpr const char* kHead = "usage: veltrano-cli COMMAND ...\n";
constexpr const char* kTail =
    "  veltrano-cli --help, veltrano-cli COMMAND --help: this text, or one command's\n"
    "  veltrano-cli --version: the version and the commit it was built from\n";

}  // namespace

std::string Usage() {
    std::string text = kHead;
    for (const auto& [name, usage] : kCommands)
        text += usage;
    return text + kTail;
}

std::string CommandUsage(const std::string& command) {
    for (const auto& [name, usage] : kCommands) {
        if (command == name)
            return std::string("usage: veltrano-cli\n") + usage;
    }
    return {};
}

}  // namespace veltrano::cli
