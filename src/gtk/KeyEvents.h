#pragma once

#include <cstdint>
#include <set>

typedef struct _GdkEvent GdkEvent;

namespace pelko::gtk {

// No key code of the platform's keyboard table stands for this key.
inline constexpr unsigned short kUnknownKeyCode = 0xFFFF;

// The platform's modifier flags for a GDK modifier state. Ctrl is Control,
// Alt is Option, Super and Meta are Command.
std::uint64_t modifierFlagsFromGdk(unsigned gdkState);

// The platform's key code for a key by its position on the keyboard: the
// hardware (evdev + 8) key code, whatever the layout. The Space key is 49.
unsigned short keyCodeFromHardware(unsigned hardwareKeycode);

// Turns the key presses a window sees into physical key-downs. A web view
// hands a key the page did not consume back to its window, so the window's
// capture-phase controller can see the same press twice: the second sight
// is recognised (same event object) and not delivered again. A press of a
// key that is already down, with no release in between, is an auto-repeat.
class KeyDownTracker {
public:
    struct KeyDown {
        bool isARepeat = false;
    };
    KeyDownTracker() = default;
    ~KeyDownTracker();
    KeyDownTracker(const KeyDownTracker&) = delete;
    KeyDownTracker& operator=(const KeyDownTracker&) = delete;

    // False when `event` was already delivered.
    bool pressed(GdkEvent* event, unsigned hardwareKeycode, KeyDown& out);
    void released(unsigned hardwareKeycode);
    // The window lost the keyboard: releases it will not see.
    void reset();

private:
    GdkEvent* lastDelivered_ = nullptr;  // one reference held, so the address is not reused
    std::set<unsigned> down_;
};

}  // namespace pelko::gtk
