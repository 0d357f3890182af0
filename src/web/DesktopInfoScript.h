#pragma once

#include "platform/CoreGuard.h"

#include <string>

#include "app/AppConfig.h"

namespace pelko {

// The name of the page bridge's script-message handler.
inline constexpr const char* kBridgeHandlerName = "pelko";

// The text as a double-quoted script string's contents: backslash, double
// quote, line terminators and control characters escaped. Digits and dots
// come out unchanged.
std::string escapeForDoubleQuotedScriptString(const std::string& text);

// The script that defines window.__pelkoDesktop before any page script runs.
std::string desktopInfoScript(const std::string& version, const DesktopInfo& info);

}  // namespace pelko
