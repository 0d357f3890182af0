#pragma once

#import <AppKit/AppKit.h>

#include <memory>

#include "platform/Menu.h"

NS_ASSUME_NONNULL_BEGIN

// The target of the items whose state the core decides (those aimed at the
// controller, and the voice status item): it calls the model item's own
// target with the item and whether the key equivalent repeated, and answers
// AppKit's menu validation with the model's `enabled`. Menu items hold their
// target weakly, so its owner keeps it.
@interface PelkoMenuItemSender : NSObject <NSMenuItemValidation>
- (NSInteger)addItem:(const std::shared_ptr<pelko::MenuItem>&)item;
- (void)performMenuItem:(NSMenuItem*)sender;
@end

namespace pelko::mac {

// The native menus of a menu model: an NSMenu per menu and an NSMenuItem per
// item, with the model's key equivalents and modifier masks. Items without a
// target send the platform's standard action to the first responder, which
// AppKit's validation enables; items with one call it back, and they and the
// items without an action are enabled as the model says. Later changes of
// title, state and enabled follow the model.
NSMenu* makeNativeMenu(const Menu& menu, PelkoMenuItemSender* sender);

}  // namespace pelko::mac

NS_ASSUME_NONNULL_END
