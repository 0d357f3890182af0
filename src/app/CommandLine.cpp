#include "app/CommandLine.h"

#include <algorithm>

namespace pelko {

LaunchRequest readCommandLine(const std::vector<std::string>& arguments) {
    const auto given = [&](const char* option) { return std::ranges::find(arguments, option) != arguments.end(); };
    if (given("--help") || given("-h")) return LaunchRequest::printUsage;
    if (given("--version")) return LaunchRequest::printVersion;
    return LaunchRequest::openWindow;
}

std::string usageText(const std::string& program) {
    return "Usage: " + program + " [--help] [--version]\n"
           "Opens Pelko in a window of its own, or brings the window of a Pelko\n"
           "that is already running to the front.\n"
           "\n"
           "  -h, --help     print this help and exit\n"
           "      --version  print the version and exit\n";
}

}  // namespace pelko
