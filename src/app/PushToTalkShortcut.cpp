#include "app/PushToTalkShortcut.h"

#include "app/AppDelegate.h"

// Control+Shift+Space in the main window, the second way to push to talk.
namespace pelko {

ShortcutDecision ctrlShiftSpaceDecision(const KeyEvent& event, const Window* mainWindow) {
    if (event.inForeignWindow || event.window != mainWindow) return ShortcutDecision::passOn;
    const std::uint64_t flags = event.modifierFlags;
    if (!(flags & kModifierControl) || !(flags & kModifierShift)) return ShortcutDecision::passOn;
    if (flags & (kModifierCommand | kModifierOption)) return ShortcutDecision::passOn;
    if (event.keyCode != kKeyCodeSpace) return ShortcutDecision::passOn;
    // A held key must not flip push-to-talk on and off with every repeat.
    return event.isARepeat ? ShortcutDecision::swallowRepeat : ShortcutDecision::toggle;
}

void AppDelegate::installCtrlShiftSpaceAlias() {
    std::weak_ptr<AppDelegate> weakSelf = weak_from_this();
    ctrlShiftSpaceMonitor_ = ports_.application->addLocalMonitorForKeyDownEvents([weakSelf](const KeyEvent& event) {
        auto self = weakSelf.lock();
        if (!self) return true;
        switch (ctrlShiftSpaceDecision(event, self->window_.get())) {
        case ShortcutDecision::passOn: return true;
        case ShortcutDecision::swallowRepeat: return false;
        case ShortcutDecision::toggle: self->pushToTalkToggled(); return false;
        }
        return true;
    });
}

}  // namespace pelko
