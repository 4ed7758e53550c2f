// `learn`: the learning cycle over a recorded session log, on the image's fuel table.
#pragma once

#include "cli/cli_commands.h"

namespace veltrano::cli {

int Learn(const Args& args);

}  // namespace veltrano::cli
