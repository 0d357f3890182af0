#import "mac/app/MenuBar.h"

#include <vector>

#include "mac/system/CocoaValues.h"

using namespace pelko;

@implementation PelkoMenuItemSender {
    std::vector<std::shared_ptr<MenuItem>> _items;  // by the native item's tag
}

- (NSInteger)addItem:(const std::shared_ptr<MenuItem>&)item {
    _items.push_back(item);
    return static_cast<NSInteger>(_items.size() - 1);
}

- (MenuItem* _Nullable)modelOf:(NSMenuItem*)native {
    const NSInteger tag = native.tag;
    if (tag < 0 || static_cast<std::size_t>(tag) >= _items.size()) return nullptr;
    return _items[static_cast<std::size_t>(tag)].get();
}

// Menus enable their items automatically: without this, the `enabled` the
// core sets would be overridden each time a menu opens.
- (BOOL)validateMenuItem:(NSMenuItem*)menuItem {
    MenuItem* item = [self modelOf:menuItem];
    return item && item->isEnabled();
}

- (void)performMenuItem:(NSMenuItem*)sender {
    MenuItem* model = [self modelOf:sender];
    if (!model) return;
    MenuItem& item = *model;
    MenuActionTarget* target = item.target();
    if (!target) return;
    NSEvent* event = [NSApp currentEvent];
    const bool isARepeat = event && event.type == NSEventTypeKeyDown && [event isARepeat];
    target->performMenuAction(item.action(), item, isARepeat);
}

@end

namespace pelko::mac {

namespace {

// The standard action a first-responder item sends.
SEL _Nullable standardAction(MenuAction action) {
    switch (action) {
    case MenuAction::orderFrontStandardAboutPanel: return @selector(orderFrontStandardAboutPanel:);
    case MenuAction::hide: return @selector(hide:);
    case MenuAction::terminate: return @selector(terminate:);
    // AppKit declares no undo: or redo: method; the responders that undo
    // answer to these names.
    case MenuAction::undo: return NSSelectorFromString(@"undo:");
    case MenuAction::redo: return NSSelectorFromString(@"redo:");
    case MenuAction::cut: return @selector(cut:);
    case MenuAction::copy: return @selector(copy:);
    case MenuAction::paste: return @selector(paste:);
    case MenuAction::selectAll: return @selector(selectAll:);
    case MenuAction::performMiniaturize: return @selector(performMiniaturize:);
    case MenuAction::performClose: return @selector(performClose:);
    default: return nullptr;
    }
}

NSControlStateValue nativeState(MenuItemState state) {
    return state == MenuItemState::on ? NSControlStateValueOn : NSControlStateValueOff;
}

NSMenuItem* makeItem(const std::shared_ptr<MenuItem>& model, PelkoMenuItemSender* sender) {
    if (model->isSeparatorItem()) return [NSMenuItem separatorItem];
    // The core decides the items it is the target of, and those that do
    // nothing (the voice status line); AppKit the first responder's.
    const bool decidedByCore = model->target() || (model->action() == MenuAction::none && !model->submenu());
    SEL action = decidedByCore ? @selector(performMenuItem:) : standardAction(model->action());
    NSMenuItem* item = [[NSMenuItem alloc] initWithTitle:toNSString(model->title())
                                                  action:action
                                           keyEquivalent:toNSString(model->keyEquivalent())];
    item.keyEquivalentModifierMask = static_cast<NSEventModifierFlags>(model->keyEquivalentModifierMask());
    if (decidedByCore) {
        item.target = sender;
        item.tag = [sender addItem:model];
    }
    item.state = nativeState(model->state());
    item.enabled = model->isEnabled();
    if (model->submenu()) item.submenu = makeNativeMenu(*model->submenu(), sender);

    __weak NSMenuItem* weakItem = item;
    model->setChangeObserver([weakItem](const MenuItem& changed) {
        NSMenuItem* native = weakItem;
        if (!native) return;
        native.title = toNSString(changed.title());
        native.state = nativeState(changed.state());
        native.enabled = changed.isEnabled();
    });
    return item;
}

}  // namespace

NSMenu* makeNativeMenu(const Menu& menu, PelkoMenuItemSender* sender) {
    NSMenu* native = [[NSMenu alloc] initWithTitle:toNSString(menu.title())];
    for (const auto& item : menu.items()) [native addItem:makeItem(item, sender)];
    return native;
}

}  // namespace pelko::mac
