#pragma once

#include "platform/CoreGuard.h"

#include <string>
#include <vector>

namespace pelko {

// What the command line asks of the process.
enum class LaunchRequest {
    openWindow,
    printVersion,  // print the short version and exit, without a window
    printUsage,    // print how to run the program and exit, without a window
};

// `arguments` follow the program's name. Anything but --version, --help and
// -h is left alone: the system adds arguments of its own to an
// application's launch. Help wins over the version when both are asked for.
LaunchRequest readCommandLine(const std::vector<std::string>& arguments);

// What --help prints, for the program run as `program`.
std::string usageText(const std::string& program);

}  // namespace pelko
