#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

namespace pelko {

class Menu;
class Window;

class ApplicationDelegate {
public:
    virtual ~ApplicationDelegate() = default;
    virtual void applicationDidFinishLaunching() = 0;
    virtual bool applicationShouldTerminateAfterLastWindowClosed() = 0;
    virtual bool applicationShouldHandleReopen(bool hasVisibleWindows) = 0;
};

// Modifier flags with the platform's values.
enum ModifierFlags : std::uint64_t {
    kModifierCapsLock = 1ull << 16,
    kModifierShift = 1ull << 17,
    kModifierControl = 1ull << 18,
    kModifierOption = 1ull << 19,
    kModifierCommand = 1ull << 20,
    kModifierNumericPad = 1ull << 21,
    kModifierFunction = 1ull << 23,
};

// The key code of the Space key by its position on the keyboard.
inline constexpr unsigned short kKeyCodeSpace = 49;

struct KeyEvent {
    // The port object of the window the event belongs to; null when it has
    // none, or when `inForeignWindow`.
    const Window* window = nullptr;
    std::uint64_t modifierFlags = 0;
    unsigned short keyCode = 0;
    bool isARepeat = false;
    // The event belongs to a window the toolkit did not make (an alert, a panel).
    bool inForeignWindow = false;
};

// Returns true to let the event go on, false to swallow it.
using KeyEventMonitor = std::function<bool(const KeyEvent&)>;

// A press of a mouse button other than the first and the second.
struct OtherMouseDownEvent {
    // As in KeyEvent.
    const Window* window = nullptr;
    // The platform's numbering: 2 is the middle button, 3 and 4 the back
    // and forward buttons of a mouse that has them.
    long buttonNumber = 2;
    bool inForeignWindow = false;
};

// Returns true to let the event go on, false to swallow it.
using OtherMouseDownMonitor = std::function<bool(const OtherMouseDownEvent&)>;

// Keeps a monitor installed for as long as it lives.
class MonitorToken {
public:
    virtual ~MonitorToken() = default;
};

class Application {
public:
    virtual ~Application() = default;
    virtual void activateIgnoringOtherApps() = 0;
    virtual void terminate() = 0;
    virtual void setMainMenu(std::shared_ptr<Menu> menu) = 0;
    // Local monitor: sees this application's key-down events before menus and views.
    virtual std::unique_ptr<MonitorToken> addLocalMonitorForKeyDownEvents(KeyEventMonitor handler) = 0;
    // Local monitor: sees this application's presses of other mouse buttons before views do.
    virtual std::unique_ptr<MonitorToken> addLocalMonitorForOtherMouseDownEvents(OtherMouseDownMonitor handler) = 0;
};

}  // namespace pelko
