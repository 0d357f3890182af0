#pragma once

#include "platform/CoreGuard.h"

#include <string>

#include "web/DesktopInfo.h"

namespace pelko {

// The script that defines window.__pelkoDesktop before any page script runs.
// The version and platform go in as escaped script strings: a plain version
// comes out as written.
std::string desktopInfoScript(const std::string& version, const DesktopInfo& info);

}  // namespace pelko
