#include "FakeKeyboard.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <gdk/x11/gdkx.h>
#include <gtk/gtk.h>

#include <vector>

namespace pelko::e2e {

namespace {

void send(Display* display, const std::string& key, bool down) {
    const KeySym symbol = XStringToKeysym(key.c_str());
    const KeyCode code = XKeysymToKeycode(display, symbol);
    if (code == 0) return;
    XTestFakeKeyEvent(display, code, down ? True : False, CurrentTime);
    XSync(display, False);
}

}  // namespace

FakeKeyboard::FakeKeyboard() : display_(XOpenDisplay(nullptr)) {}

FakeKeyboard::~FakeKeyboard() {
    if (display_) XCloseDisplay(display_);
}

void FakeKeyboard::focus(GtkWindow* window) {
    if (!display_ || !window) return;
    GdkSurface* surface = gtk_native_get_surface(GTK_NATIVE(window));
    if (!surface || !GDK_IS_X11_SURFACE(surface)) return;
    XSetInputFocus(display_, gdk_x11_surface_get_xid(surface), RevertToParent, CurrentTime);
    XSync(display_, False);
}

void FakeKeyboard::setAutoRepeat(unsigned delayMs, unsigned intervalMs) {
    if (!display_) return;
    XAutoRepeatOn(display_);
    XkbSetAutoRepeatRate(display_, XkbUseCoreKbd, delayMs, intervalMs);
    XSync(display_, False);
}

void FakeKeyboard::press(const std::string& key) {
    if (display_) send(display_, key, true);
}

void FakeKeyboard::release(const std::string& key) {
    if (display_) send(display_, key, false);
}

void FakeKeyboard::chord(std::initializer_list<const char*> keys) {
    std::vector<const char*> pressed(keys);
    for (const char* key : pressed) press(key);
    for (auto it = pressed.rbegin(); it != pressed.rend(); ++it) release(*it);
}

}  // namespace pelko::e2e
