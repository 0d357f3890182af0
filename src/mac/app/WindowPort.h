#pragma once

#import <AppKit/AppKit.h>

#include "platform/Window.h"

@class PelkoDelegateProxy;

NS_ASSUME_NONNULL_BEGIN

namespace pelko::mac {

// An NSWindow behind the window port. Its delegate callbacks reach the
// port's delegate through the delegate proxy.
class WindowPort : public Window {
public:
    WindowPort(Rect contentRect, unsigned styleMask, PelkoDelegateProxy* proxy);
    ~WindowPort() override;
    WindowPort(const WindowPort&) = delete;
    WindowPort& operator=(const WindowPort&) = delete;

    void setTitle(const std::string& title) override;
    std::string title() const override;
    void setFrameAutosaveName(const std::string& name) override;
    void setContentView(WebView& view) override;
    void setMinSize(Size size) override;
    void setDelegate(WindowDelegate* _Nullable delegate) override;
    void center() override;
    void makeKeyAndOrderFront() override;
    void orderOut() override;
    bool isVisible() const override;

    NSWindow* nsWindow() const { return window_; }
    // The port of a window made here; null for any other window.
    static const Window* _Nullable portFor(NSWindow* window);

private:
    NSWindow* window_;
    PelkoDelegateProxy* proxy_;
};

}  // namespace pelko::mac

NS_ASSUME_NONNULL_END
