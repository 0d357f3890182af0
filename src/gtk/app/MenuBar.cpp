#include "gtk/app/MenuBar.h"

#include <gtk/gtk.h>

#include "gtk/system/GObjectRef.h"
#include "platform/Application.h"

namespace pelko::gtk {

struct MenuBar::Entry {
    MenuBar* renderer = nullptr;
    std::shared_ptr<MenuItem> item;
    GMenu* section = nullptr;  // one reference held
    int index = 0;
    std::string actionName;
    GSimpleAction* action = nullptr;  // one reference held
    bool stateful = false;
    Accelerator accelerator;
    std::string renderedTitle;
};

Accelerator acceleratorFor(const std::string& keyEquivalent, std::uint64_t modifierMask) {
    Accelerator accelerator;
    if (keyEquivalent.empty() || !g_utf8_validate(keyEquivalent.c_str(), -1, nullptr)) return accelerator;
    const gunichar character = g_utf8_get_char(keyEquivalent.c_str());
    if (g_unichar_isupper(character)) {
        accelerator.modifiers |= GDK_SHIFT_MASK;
        accelerator.keyval = gdk_unicode_to_keyval(g_unichar_tolower(character));
    } else if (character == ' ') {
        accelerator.keyval = GDK_KEY_space;
    } else {
        accelerator.keyval = gdk_unicode_to_keyval(character);
    }
    if (modifierMask & (kModifierCommand | kModifierControl)) accelerator.modifiers |= GDK_CONTROL_MASK;
    if (modifierMask & kModifierShift) accelerator.modifiers |= GDK_SHIFT_MASK;
    if (modifierMask & kModifierOption) accelerator.modifiers |= GDK_ALT_MASK;
    return accelerator;
}

MenuBar::MenuBar(GActionMap* actions, std::string applicationName, Perform perform)
    : actions_(actions), applicationName_(std::move(applicationName)), perform_(std::move(perform)) {}

MenuBar::~MenuBar() { clear(); }

void MenuBar::clear() {
    for (auto& entry : entries_) {
        entry->item->setChangeObserver(nullptr);
        g_signal_handlers_disconnect_by_data(entry->action, entry.get());
        g_action_map_remove_action(actions_, entry->actionName.c_str());
        g_object_unref(entry->action);
        g_object_unref(entry->section);
    }
    entries_.clear();
    if (model_) g_object_unref(std::exchange(model_, nullptr));
}

void MenuBar::render(const std::shared_ptr<Menu>& mainMenu) {
    clear();
    ++generation_;
    if (!mainMenu) return;
    model_ = g_menu_new();
    bool first = true;
    for (const auto& top : mainMenu->items()) {
        if (!top->submenu()) continue;
        GMenu* submenu = buildMenu(*top->submenu());
        // The untitled first menu is the application menu, shown under the application's name.
        std::string label = top->submenu()->title();
        if (label.empty() && first) label = applicationName_;
        g_menu_append_submenu(model_, label.c_str(), G_MENU_MODEL(submenu));
        g_object_unref(submenu);
        first = false;
    }
}

GMenu* MenuBar::buildMenu(const Menu& menu) {
    GMenu* result = g_menu_new();
    GMenu* section = g_menu_new();
    auto closeSection = [&] {
        if (g_menu_model_get_n_items(G_MENU_MODEL(section)) > 0) {
            g_menu_append_section(result, nullptr, G_MENU_MODEL(section));
        }
        g_object_unref(section);
    };
    for (const auto& item : menu.items()) {
        if (item->isSeparatorItem()) {
            closeSection();
            section = g_menu_new();
            continue;
        }
        if (item->submenu()) {
            GMenu* submenu = buildMenu(*item->submenu());
            g_menu_append_submenu(section, item->title().c_str(), G_MENU_MODEL(submenu));
            g_object_unref(submenu);
            continue;
        }
        addItem(section, item);
    }
    closeSection();
    return result;
}

void MenuBar::addItem(GMenu* section, const std::shared_ptr<MenuItem>& item) {
    auto entry = std::make_unique<Entry>();
    entry->renderer = this;
    entry->item = item;
    entry->section = G_MENU(g_object_ref(section));
    entry->index = g_menu_model_get_n_items(G_MENU_MODEL(section));
    entry->actionName = "pelko-menu-" + std::to_string(generation_) + "-" + std::to_string(entries_.size());
    entry->accelerator = acceleratorFor(item->keyEquivalent(), item->keyEquivalentModifierMask());
    installAction(*entry, item->state() == MenuItemState::on);
    entry->renderedTitle = item->title();

    GMenuItem* menuItem = g_menu_item_new(item->title().c_str(), ("app." + entry->actionName).c_str());
    if (entry->accelerator) {
        OwnedGString accel(gtk_accelerator_name(entry->accelerator.keyval,
                                                static_cast<GdkModifierType>(entry->accelerator.modifiers)));
        g_menu_item_set_attribute(menuItem, "accel", "s", accel.get());
    }
    g_menu_append_item(section, menuItem);
    g_object_unref(menuItem);

    Entry* raw = entry.get();
    item->setChangeObserver([this, raw](const MenuItem&) { refresh(*raw); });
    entries_.push_back(std::move(entry));
}

void MenuBar::installAction(Entry& entry, bool stateful) {
    if (entry.action) {
        g_signal_handlers_disconnect_by_data(entry.action, &entry);
        g_object_unref(entry.action);
    }
    entry.stateful = stateful;
    entry.action = stateful ? g_simple_action_new_stateful(entry.actionName.c_str(), nullptr,
                                                           g_variant_new_boolean(entry.item->state() == MenuItemState::on))
                            : g_simple_action_new(entry.actionName.c_str(), nullptr);
    g_simple_action_set_enabled(entry.action, entry.item->isEnabled());
    g_signal_connect(entry.action, "activate", G_CALLBACK(&MenuBar::onActivate), &entry);
    // Replaces an action of the same name.
    g_action_map_add_action(actions_, G_ACTION(entry.action));
}

void MenuBar::refresh(Entry& entry) {
    const MenuItem& item = *entry.item;
    const bool on = item.state() == MenuItemState::on;
    if (on && !entry.stateful) {
        installAction(entry, true);
    } else if (entry.stateful) {
        g_simple_action_set_state(entry.action, g_variant_new_boolean(on));
    }
    g_simple_action_set_enabled(entry.action, item.isEnabled());
    if (item.title() != entry.renderedTitle) {
        entry.renderedTitle = item.title();
        GMenuItem* replacement = g_menu_item_new_from_model(G_MENU_MODEL(entry.section), entry.index);
        g_menu_item_set_label(replacement, item.title().c_str());
        g_menu_remove(entry.section, entry.index);
        g_menu_insert_item(entry.section, entry.index, replacement);
        g_object_unref(replacement);
    }
}

void MenuBar::onActivate(GSimpleAction* /*action*/, void* /*parameter*/, void* data) {
    auto* entry = static_cast<Entry*>(data);
    // Keeps the item alive even if performing it replaces the menu.
    auto item = entry->item;
    entry->renderer->perform_(*item, false);
}

bool MenuBar::performKeyEquivalent(GdkEvent* event, bool isARepeat) {
    for (const auto& entry : entries_) {
        if (!entry->accelerator || !entry->item->isEnabled()) continue;
        if (gdk_key_event_matches(event, entry->accelerator.keyval,
                                  static_cast<GdkModifierType>(entry->accelerator.modifiers)) == GDK_KEY_MATCH_EXACT) {
            auto item = entry->item;
            perform_(*item, isARepeat);
            return true;
        }
    }
    return false;
}

}  // namespace pelko::gtk
