#include "gtk/app/KeyEvents.h"

#include <gdk/gdk.h>

#include <algorithm>
#include <array>
#include <utility>

#include "platform/Application.h"

namespace pelko::gtk {

namespace {

// Linux input event codes (evdev) to the platform's key codes, for the
// keys of the main block, the function row and the cursor keys.
constexpr std::array<std::pair<unsigned, unsigned short>, 76> kEvdevToKeyCode{{
    {1, 53},    {2, 18},    {3, 19},    {4, 20},    {5, 21},    {6, 23},    {7, 22},    {8, 26},
    {9, 28},    {10, 25},   {11, 29},   {12, 27},   {13, 24},   {14, 51},   {15, 48},   {16, 12},
    {17, 13},   {18, 14},   {19, 15},   {20, 17},   {21, 16},   {22, 32},   {23, 34},   {24, 31},
    {25, 35},   {26, 33},   {27, 30},   {28, 36},   {29, 59},   {30, 0},    {31, 1},    {32, 2},
    {33, 3},    {34, 5},    {35, 4},    {36, 38},   {37, 40},   {38, 37},   {39, 41},   {40, 39},
    {41, 50},   {42, 56},   {43, 42},   {44, 6},    {45, 7},    {46, 8},    {47, 9},    {48, 11},
    {49, 45},   {50, 46},   {51, 43},   {52, 47},   {53, 44},   {54, 60},   {56, 58},   {57, 49},
    {58, 57},   {59, 122},  {60, 120},  {61, 99},   {62, 118},  {63, 96},   {64, 97},   {65, 98},
    {66, 100},  {67, 101},  {68, 109},  {87, 103},  {88, 111},  {97, 62},   {100, 61},  {103, 126},
    {105, 123}, {106, 124}, {108, 125}, {125, 55},
}};

constexpr unsigned kEvdevOffset = 8;
// More than a page could hold back while it handles keys typed in a burst.
constexpr std::size_t kRecentEvents = 64;

}  // namespace

std::uint64_t modifierFlagsFromGdk(unsigned gdkState) {
    std::uint64_t flags = 0;
    if (gdkState & GDK_LOCK_MASK) flags |= kModifierCapsLock;
    if (gdkState & GDK_SHIFT_MASK) flags |= kModifierShift;
    if (gdkState & GDK_CONTROL_MASK) flags |= kModifierControl;
    if (gdkState & GDK_ALT_MASK) flags |= kModifierOption;
    if (gdkState & (GDK_SUPER_MASK | GDK_META_MASK)) flags |= kModifierCommand;
    return flags;
}

unsigned short keyCodeFromHardware(unsigned hardwareKeycode) {
    if (hardwareKeycode < kEvdevOffset) return kUnknownKeyCode;
    const unsigned evdev = hardwareKeycode - kEvdevOffset;
    for (const auto& [code, keyCode] : kEvdevToKeyCode) {
        if (code == evdev) return keyCode;
    }
    return kUnknownKeyCode;
}

KeyDownTracker::~KeyDownTracker() {
    for (GdkEvent* event : recent_) gdk_event_unref(event);
}

bool KeyDownTracker::pressed(GdkEvent* event, unsigned hardwareKeycode, KeyDown& out) {
    if (event) {
        if (std::find(recent_.begin(), recent_.end(), event) != recent_.end()) return false;
        recent_.push_back(gdk_event_ref(event));
        if (recent_.size() > kRecentEvents) {
            gdk_event_unref(recent_.front());
            recent_.pop_front();
        }
    }
    out.isARepeat = !down_.insert(hardwareKeycode).second;
    return true;
}

void KeyDownTracker::released(unsigned hardwareKeycode) { down_.erase(hardwareKeycode); }

void KeyDownTracker::reset() { down_.clear(); }

}  // namespace pelko::gtk
