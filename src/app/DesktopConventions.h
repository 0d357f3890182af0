#pragma once

#include "platform/CoreGuard.h"

#include <string>

#include "app/AppConfig.h"
#include "platform/Application.h"

namespace pelko {

class Window;

// Whether closing the main window quits the application. On the Mac it only
// hides: the Dock shows the application running and reopens the window. On
// Linux nothing shows an application running with no window, and desktops
// quit one with its last window.
bool closingTheWindowQuits(HostPlatform platform);

// The push-to-talk chord as the platform's own texts name it: "⇧⌘Space" on
// the Mac, "Shift+Ctrl+Space" on Linux, where there is no Command key.
std::string pushToTalkChordName(HostPlatform platform);

// A voice status as the platform shows it: a hint that names the
// push-to-talk chord names the platform's, in the same place of the same text.
std::string shownVoiceStatus(const std::string& status, HostPlatform platform);

enum class HistoryMove { none, back, forward };

// Back and Forward by key in the main window: Alt+Left and Alt+Right on
// Linux, as its browsers do; none on the Mac, where the View menu's
// Command+[ and Command+] are the way.
HistoryMove historyMoveForKeyDown(const KeyEvent& event, const Window* mainWindow, HostPlatform platform);

// Back and Forward by the mouse's back and forward buttons, in the main window.
HistoryMove historyMoveForMouseDown(const OtherMouseDownEvent& event, const Window* mainWindow);

}  // namespace pelko
