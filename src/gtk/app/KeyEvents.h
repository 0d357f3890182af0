#pragma once

#include <cstdint>
#include <deque>
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
// hands the keys the page did not consume back to its window once the page
// has seen them, so the window's capture-phase controller can see the same
// press twice, possibly after later keys: the second sight is recognised
// (the same event object, among the recent ones) and not delivered again. A
// press of a key that is already down, with no release in between, is an
// auto-repeat.
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
    // The most recent delivered events, each with a reference held so that
    // no new event can take its address.
    std::deque<GdkEvent*> recent_;
    std::set<unsigned> down_;
};

}  // namespace pelko::gtk
