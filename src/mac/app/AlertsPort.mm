#import <AppKit/AppKit.h>

#include "mac/app/AlertsPort.h"
#include "mac/system/CocoaValues.h"

namespace pelko::mac {

namespace {
constexpr const char* kEscapeKey = "\033";
}

int AlertsPort::runModal(const AlertSpec& content) {
    NSAlert* alert = [[NSAlert alloc] init];
    alert.messageText = toNSString(content.title);
    alert.informativeText = toNSString(content.message);
    for (std::size_t i = 0; i < content.buttons.size(); ++i) {
        NSButton* button = [alert addButtonWithTitle:toNSString(content.buttons[i])];
        // NSAlert has no close box: Escape is how an alert is closed without
        // a choice. The first button keeps Return.
        if (i == content.cancelButton && i != 0) button.keyEquivalent = toNSString(kEscapeKey);
    }
    return static_cast<int>([alert runModal]);
}

}  // namespace pelko::mac
