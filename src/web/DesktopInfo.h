#pragma once

#include "platform/CoreGuard.h"

#include <string>

namespace pelko {

// What the page is told about the shell it runs in.
struct DesktopInfo {
    std::string platform;
    bool canSetupIMessage = false;
    bool canDictate = false;
    bool operator==(const DesktopInfo&) const = default;
};

}  // namespace pelko
