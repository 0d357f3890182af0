#import "mac/CocoaWindowPort.h"

#include <algorithm>
#include <vector>

#import "mac/DelegateProxy.h"
#import "mac/WKWebViewPort.h"
#include "mac/CocoaValues.h"

namespace pelko::mac {

namespace {
// The windows made here, for telling a key event's window. Main thread only.
std::vector<CocoaWindowPort*>& livePorts() {
    static std::vector<CocoaWindowPort*> ports;
    return ports;
}
}  // namespace

CocoaWindowPort::CocoaWindowPort(Rect contentRect, unsigned styleMask, PelkoDelegateProxy* proxy)
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

CocoaWindowPort::~CocoaWindowPort() {
    auto& ports = livePorts();
    ports.erase(std::remove(ports.begin(), ports.end(), this), ports.end());
    window_.delegate = nil;
}

const Window* _Nullable CocoaWindowPort::portFor(NSWindow* window) {
    for (CocoaWindowPort* port : livePorts()) {
        if (port->window_ == window) return port;
    }
    return nullptr;
}

void CocoaWindowPort::setTitle(const std::string& title) { window_.title = toNSString(title); }

std::string CocoaWindowPort::title() const { return fromNSString(window_.title); }

void CocoaWindowPort::setFrameAutosaveName(const std::string& name) {
    [window_ setFrameAutosaveName:toNSString(name)];
}

void CocoaWindowPort::setContentView(WebView& view) {
    if (auto* webView = dynamic_cast<WKWebViewPort*>(&view)) window_.contentView = webView->nsView();
}

void CocoaWindowPort::setMinSize(Size size) { window_.minSize = NSMakeSize(size.width, size.height); }

void CocoaWindowPort::setDelegate(WindowDelegate* _Nullable delegate) {
    proxy_.windowDelegate = delegate;
    window_.delegate = delegate ? proxy_ : nil;
}

void CocoaWindowPort::center() { [window_ center]; }

void CocoaWindowPort::makeKeyAndOrderFront() { [window_ makeKeyAndOrderFront:nil]; }

void CocoaWindowPort::orderOut() { [window_ orderOut:nil]; }

bool CocoaWindowPort::isVisible() const { return [window_ isVisible]; }

}  // namespace pelko::mac
