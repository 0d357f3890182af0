#import "mac/app/WindowPort.h"

#include <algorithm>
#include <vector>

#import "mac/app/DelegateProxy.h"
#include "mac/system/CocoaValues.h"
#import "mac/web/WebViewPort.h"

namespace pelko::mac {

namespace {
// The windows made here, for telling a key event's window. Main thread only.
std::vector<WindowPort*>& livePorts() {
    static std::vector<WindowPort*> ports;
    return ports;
}
}  // namespace

WindowPort::WindowPort(Rect contentRect, unsigned styleMask, PelkoDelegateProxy* proxy)
    : window_([[NSWindow alloc]
          initWithContentRect:NSMakeRect(contentRect.x, contentRect.y, contentRect.width, contentRect.height)
                    styleMask:static_cast<NSWindowStyleMask>(styleMask)
                      backing:NSBackingStoreBuffered
                        defer:NO]),
      proxy_(proxy) {
    // This object owns the window; closing it never releases it behind ARC's back.
    window_.releasedWhenClosed = NO;
    livePorts().push_back(this);
}

WindowPort::~WindowPort() {
    auto& ports = livePorts();
    ports.erase(std::remove(ports.begin(), ports.end(), this), ports.end());
    window_.delegate = nil;
}

const Window* _Nullable WindowPort::portFor(NSWindow* window) {
    for (WindowPort* port : livePorts()) {
        if (port->window_ == window) return port;
    }
    return nullptr;
}

void WindowPort::setTitle(const std::string& title) { window_.title = toNSString(title); }

std::string WindowPort::title() const { return fromNSString(window_.title); }

void WindowPort::setFrameAutosaveName(const std::string& name) {
    [window_ setFrameAutosaveName:toNSString(name)];
}

void WindowPort::setContentView(WebView& view) {
    if (auto* webView = dynamic_cast<WebViewPort*>(&view)) window_.contentView = webView->nsView();
}

void WindowPort::setMinSize(Size size) { window_.minSize = NSMakeSize(size.width, size.height); }

void WindowPort::setDelegate(WindowDelegate* _Nullable delegate) {
    proxy_.windowDelegate = delegate;
    window_.delegate = delegate ? proxy_ : nil;
}

void WindowPort::center() { [window_ center]; }

void WindowPort::makeKeyAndOrderFront() { [window_ makeKeyAndOrderFront:nil]; }

void WindowPort::orderOut() { [window_ orderOut:nil]; }

bool WindowPort::isVisible() const { return [window_ isVisible]; }

}  // namespace pelko::mac
