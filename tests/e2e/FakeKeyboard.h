#pragma once

#include <initializer_list>
#include <string>

typedef struct _XDisplay Display;
typedef struct _GtkWindow GtkWindow;

namespace pelko::e2e {

// Presses real keys on the X server (XTest), as a person at the keyboard
// would: the events reach the application through the server.
class FakeKeyboard {
public:
    FakeKeyboard();
    ~FakeKeyboard();
    FakeKeyboard(const FakeKeyboard&) = delete;
    FakeKeyboard& operator=(const FakeKeyboard&) = delete;

    bool available() const { return display_ != nullptr; }
    // Gives `window` the keyboard.
    void focus(GtkWindow* window);
    // Key names as X keysyms: "Control_L", "space", "a", "F7".
    void press(const std::string& key);
    void release(const std::string& key);
    // The server's own auto-repeat of a held key, made quick.
    void setAutoRepeat(unsigned delayMs, unsigned intervalMs);
    // Presses the keys in order and releases them in reverse.
    void chord(std::initializer_list<const char*> keys);

private:
    Display* display_ = nullptr;
};

}  // namespace pelko::e2e
