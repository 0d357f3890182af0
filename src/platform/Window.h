#pragma once

#include <string>

namespace pelko {

class WebView;

struct Size {
    double width = 0;
    double height = 0;
    bool operator==(const Size&) const = default;
};

struct Rect {
    double x = 0;
    double y = 0;
    double width = 0;
    double height = 0;
    bool operator==(const Rect&) const = default;
};

// Window style flags, with the platform's values.
enum WindowStyle : unsigned {
    kWindowStyleTitled = 1u << 0,
    kWindowStyleClosable = 1u << 1,
    kWindowStyleMiniaturizable = 1u << 2,
    kWindowStyleResizable = 1u << 3,
};

class WindowDelegate {
public:
    virtual ~WindowDelegate() = default;
    // Answer false to keep the window.
    virtual bool windowShouldClose() = 0;
};

class Window {
public:
    virtual ~Window() = default;
    virtual void setTitle(const std::string& title) = 0;
    virtual std::string title() const = 0;
    // The platform restores a saved frame under this name and saves changes to it.
    virtual void setFrameAutosaveName(const std::string& name) = 0;
    virtual void setContentView(WebView& view) = 0;
    virtual void setMinSize(Size size) = 0;
    virtual void setDelegate(WindowDelegate* delegate) = 0;
    virtual void center() = 0;
    virtual void makeKeyAndOrderFront() = 0;
    virtual void orderOut() = 0;
    virtual bool isVisible() const = 0;
};

}  // namespace pelko
