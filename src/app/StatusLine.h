#pragma once

#include "platform/CoreGuard.h"

#include <string>

#include "platform/Application.h"

namespace pelko {

class Window;

// A voice status is active when it begins with one of the five prefixes
// ("●", "Waiting", "Sending", "Speaking", "Transcribing"), case-sensitively.
bool isActiveVoiceStatus(const std::string& status);

// The main window's title while `status` is the latest voice status.
std::string windowTitleForVoiceStatus(const std::string& status);

enum class ShortcutDecision {
    passOn,          // not the shortcut: the event goes on unchanged
    toggle,          // Control+Shift+Space in the main window: toggle and swallow
    swallowRepeat,   // the shortcut held down: swallow without toggling again
};

// The Control+Shift+Space test: the event must belong to `mainWindow`
// (the very same window object), carry Control and Shift but neither
// Command nor Option, and be the Space key by position.
ShortcutDecision ctrlShiftSpaceDecision(const KeyEvent& event, const Window* mainWindow);

}  // namespace pelko
