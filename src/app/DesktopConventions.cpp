#include "app/DesktopConventions.h"

#include "voice/VoiceStatusTexts.h"

namespace pelko {

namespace {

// Key codes by position on the keyboard.
constexpr unsigned short kKeyCodeLeftArrow = 123;
constexpr unsigned short kKeyCodeRightArrow = 124;
// Mouse buttons as the platform numbers them: 0 the first, 1 the second, 2 the middle.
constexpr long kMouseButtonBack = 3;
constexpr long kMouseButtonForward = 4;

constexpr const char* kMacPushToTalkChord = "\u21E7\u2318Space";

}  // namespace

bool closingTheWindowQuits(HostPlatform platform) { return platform == HostPlatform::linux; }

std::string pushToTalkChordName(HostPlatform platform) {
    return platform == HostPlatform::mac ? kMacPushToTalkChord : "Shift+Ctrl+Space";
}

std::string shownVoiceStatus(const std::string& status, HostPlatform platform) {
    // Only the fixed hint: a transcript stays as it was heard.
    if (status != voice_status::kListeningStarted) return status;
    std::string shown = status;
    const std::string macChord = kMacPushToTalkChord;
    shown.replace(shown.find(macChord), macChord.size(), pushToTalkChordName(platform));
    return shown;
}

HistoryMove historyMoveForKeyDown(const KeyEvent& event, const Window* mainWindow, HostPlatform platform) {
    if (platform != HostPlatform::linux || event.inForeignWindow || event.window != mainWindow) return HistoryMove::none;
    const std::uint64_t others = kModifierShift | kModifierControl | kModifierCommand;
    if (!(event.modifierFlags & kModifierOption) || (event.modifierFlags & others)) return HistoryMove::none;
    if (event.keyCode == kKeyCodeLeftArrow) return HistoryMove::back;
    if (event.keyCode == kKeyCodeRightArrow) return HistoryMove::forward;
    return HistoryMove::none;
}

HistoryMove historyMoveForMouseDown(const OtherMouseDownEvent& event, const Window* mainWindow) {
    if (event.inForeignWindow || event.window != mainWindow) return HistoryMove::none;
    if (event.buttonNumber == kMouseButtonBack) return HistoryMove::back;
    if (event.buttonNumber == kMouseButtonForward) return HistoryMove::forward;
    return HistoryMove::none;
}

}  // namespace pelko
