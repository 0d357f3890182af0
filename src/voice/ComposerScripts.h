#pragma once

#include "platform/CoreGuard.h"

#include <nlohmann/json.hpp>
#include <optional>
#include <string>

#include "platform/WebView.h"

namespace pelko {

// Dictation: appends the transcript to the composer, nothing is sent.
std::string composerInsertScript(const std::string& transcript);

// Push-to-talk: replaces the composer's text and presses Cmd+Enter 50 ms later.
std::string composerSubmitScript(const std::string& transcript);

// A page script succeeded only when no error came back and its result is an
// object whose "ok" is the Boolean true.
bool pageScriptSucceeded(const std::optional<nlohmann::json>& result, const std::optional<ScriptError>& error);

}  // namespace pelko
