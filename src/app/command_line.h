// The window program's command line.
#pragma once

#include <string>
#include <vector>

namespace veltrano {

struct WindowCommandLine {
    bool help = false;
    bool version = false;
    bool demo = false;        // --demo
    bool noDemo = false;      // --no-demo
    std::string screenshots;  // --screenshots DIR
    std::string log;          // --log FILE: the log viewer on a session log
    std::string replay;       // --replay FILE: a session log replayed in place of a connection
    std::string image;        // the image to open at start
    std::string error;        // not empty: the line was not understood
};

// Reads the arguments after the program name. Qt's own options (-platform, -style, …) are
// taken out by QApplication before this sees the line.
WindowCommandLine ParseWindowCommandLine(const std::vector<std::string>& args);

// What --help prints.
std::string WindowUsage();

}  // namespace veltrano
