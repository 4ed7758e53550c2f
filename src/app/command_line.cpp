#include "app/command_line.h"

namespace veltrano {

WindowCommandLine ParseWindowCommandLine(const std::vector<std::string>& args) {
    WindowCommandLine c;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--help" || a == "-h") {
            c.help = true;
        } else if (a == "--version") {
            c.version = true;
        } else if (a == "--demo") {
            c.demo = true;
        } else if (a == "--no-demo") {
            c.noDemo = true;
        } else if (a == "--screenshots" || a == "--log" || a == "--replay") {
            if (i + 1 >= args.size()) {
                c.error = a + " needs a value";
                return c;
            }
            std::string& value = a == "--log" ? c.log : a == "--replay" ? c.replay : c.screenshots;
            value = args[++i];
        } else if (a.size() > 1 && a[0] == '-') {
            c.error = "unknown option: " + a;
            return c;
        } else if (!c.image.empty()) {
            c.error = "one image at a time: " + a;
            return c;
        } else {
            c.image = a;
        }
    }
    return c;
}

std::string WindowUsage() {
    return "usage: veltrano [OPTIONS] [IMAGE.bin]\n"
           "  IMAGE.bin          open this firmware image at start\n"
           "  --demo             start on the demo: a simulated ECU and wideband controller\n"
           "  --no-demo          never start on the demo\n"
           "  --screenshots DIR  take the screenshot tour into DIR, then quit\n"
           "  --log FILE         open the log viewer on a CSV session log\n"
           "  --replay FILE      replay a CSV session log in place of a connection\n"
           "  --version          print the version and the commit built from\n"
           "  --help             print this help\n"
           "Settings: Settings.ini beside the program in a build tree, otherwise\n"
           "~/.config/veltrano/Settings.ini.\n";
}

}  // namespace veltrano
