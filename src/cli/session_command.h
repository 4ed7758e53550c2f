// The connected workflow without a window: connect, poll, live values, learning, the session
// log, and on exit optionally the image with the learned PCN.
#pragma once

#include <optional>
#include <string>

#include "cli/cli_commands.h"
#include "learning/learning_options.h"

namespace veltrano::cli {

// The command line of `session`, as given; unset values take the settings file's.
struct SessionArgs {
    std::string port;
    std::string image;
    std::string lambdaPort;  // empty: no wideband controller
    std::string lambdaType;  // "LC-1/2" or "AEM"; empty: the settings file's
    LambdaSource source = LambdaSource::None;
    WriteTarget target = WriteTarget::None;
    LearningMode mode = LearningMode::Alg2;
    bool learn = false;
    std::optional<int> hits;   // "Попаданий в Точку"
    std::optional<int> delay;  // "Задержка запроса", ms
    long records = 0;          // 0: no record limit
    double seconds = 0;        // 0: no time limit
    std::string logDir;        // the log goes to logDir/Logs; empty: ./Logs
    std::string saveImage;     // empty: the image is not saved
    std::string settingsPath;  // empty: Settings.ini where the window keeps it
};

// Parses the arguments after "session"; nullopt with *error set when they are not understood.
std::optional<SessionArgs> ParseSessionArgs(const Args& args, std::string* error);

// Runs the session until the record or time limit, or a stop request (Ctrl+C, SIGTERM).
int Session(const Args& args);

}  // namespace veltrano::cli
