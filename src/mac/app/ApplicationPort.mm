#import "mac/app/ApplicationPort.h"

#import "mac/app/MenuBar.h"
#import "mac/app/WindowPort.h"
#include "platform/Menu.h"

namespace pelko::mac {

namespace {

KeyEvent keyEventFrom(NSEvent* event) {
    KeyEvent out;
    NSWindow* window = event.window;
    out.window = window ? WindowPort::portFor(window) : nullptr;
    out.inForeignWindow = window && !out.window;
    out.modifierFlags = static_cast<std::uint64_t>(event.modifierFlags);
    out.keyCode = event.keyCode;
    out.isARepeat = [event isARepeat];
    return out;
}

OtherMouseDownEvent otherMouseDownFrom(NSEvent* event) {
    OtherMouseDownEvent out;
    NSWindow* window = event.window;
    out.window = window ? WindowPort::portFor(window) : nullptr;
    out.inForeignWindow = window && !out.window;
    out.buttonNumber = static_cast<long>(event.buttonNumber);
    return out;
}

// Removes the monitor when the token goes.
class EventMonitorToken : public MonitorToken {
public:
    explicit EventMonitorToken(id _Nullable monitor) : monitor_(monitor) {}
    ~EventMonitorToken() override {
        if (id monitor = monitor_) [NSEvent removeMonitor:monitor];
    }
    EventMonitorToken(const EventMonitorToken&) = delete;
    EventMonitorToken& operator=(const EventMonitorToken&) = delete;

private:
    id _Nullable monitor_;
};

}  // namespace

ApplicationPort::ApplicationPort() : menuSender_([[PelkoMenuItemSender alloc] init]) {}

void ApplicationPort::activateIgnoringOtherApps() { [NSApp activateIgnoringOtherApps:YES]; }

void ApplicationPort::terminate() { [NSApp terminate:nil]; }

void ApplicationPort::setMainMenu(std::shared_ptr<Menu> menu) {
    menu_ = std::move(menu);
    NSApp.mainMenu = menu_ ? makeNativeMenu(*menu_, menuSender_) : nil;
}

std::unique_ptr<MonitorToken> ApplicationPort::addLocalMonitorForKeyDownEvents(KeyEventMonitor handler) {
    id monitor = [NSEvent addLocalMonitorForEventsMatchingMask:NSEventMaskKeyDown
                                                       handler:^NSEvent* _Nullable(NSEvent* event) {
                                                           return handler(keyEventFrom(event)) ? event : nil;
                                                       }];
    return std::make_unique<EventMonitorToken>(monitor);
}

std::unique_ptr<MonitorToken> ApplicationPort::addLocalMonitorForOtherMouseDownEvents(OtherMouseDownMonitor handler) {
    id monitor = [NSEvent addLocalMonitorForEventsMatchingMask:NSEventMaskOtherMouseDown
                                                       handler:^NSEvent* _Nullable(NSEvent* event) {
                                                           return handler(otherMouseDownFrom(event)) ? event : nil;
                                                       }];
    return std::make_unique<EventMonitorToken>(monitor);
}

}  // namespace pelko::mac
