#pragma once

#include "platform/CoreGuard.h"

#include "platform/Application.h"

namespace pelko {

class Window;

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
