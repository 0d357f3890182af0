#pragma once

#include "platform/CoreGuard.h"

#include <string>
#include <vector>

namespace pelko {

// What the command line asks of the process.
enum class LaunchRequest {
    openWindow,
    printVersion,  // print the short version and exit, without a window
};

// `arguments` follow the program's name. Anything but --version is left
// alone: the system adds arguments of its own to an application's launch.
LaunchRequest readCommandLine(const std::vector<std::string>& arguments);

}  // namespace pelko
