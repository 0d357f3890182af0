#import <AppKit/AppKit.h>

#include "mac/CocoaAlerts.h"
#include "mac/CocoaValues.h"

namespace pelko::mac {

namespace {
constexpr const char* kEscapeKey = "\033";
}

int CocoaAlerts::runModal(const AlertSpec& spec) {
    NSAlert* alert = [[NSAlert alloc] init];
    alert.messageText = toNSString(spec.title);
    alert.informativeText = toNSString(spec.message);
    for (std::size_t i = 0; i < spec.buttons.size(); ++i) {
        NSButton* button = [alert addButtonWithTitle:toNSString(spec.buttons[i])];
        // NSAlert has no close box: Escape is how an alert is closed without
        // a choice. The first button keeps Return.
        if (i == spec.cancelButton && i != 0) button.keyEquivalent = toNSString(kEscapeKey);
    }
    return static_cast<int>([alert runModal]);
}

}  // namespace pelko::mac
