#include "app/CommandLine.h"

#include <algorithm>

namespace pelko {

LaunchRequest readCommandLine(const std::vector<std::string>& arguments) {
    return std::ranges::find(arguments, "--version") != arguments.end() ? LaunchRequest::printVersion
                                                                        : LaunchRequest::openWindow;
}

}  // namespace pelko
