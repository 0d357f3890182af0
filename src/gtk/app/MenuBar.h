#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/Menu.h"

typedef struct _GActionMap GActionMap;
typedef struct _GMenu GMenu;
typedef struct _GSimpleAction GSimpleAction;
typedef struct _GdkEvent GdkEvent;

namespace pelko::gtk {

// A key equivalent of the menu model as a GDK key and modifiers. Command,
// the platform's menu modifier, becomes Ctrl; a capital letter adds Shift;
// Option becomes Alt.
struct Accelerator {
    unsigned keyval = 0;
    unsigned modifiers = 0;
    explicit operator bool() const { return keyval != 0; }
};
Accelerator acceleratorFor(const std::string& keyEquivalent, std::uint64_t modifierMask);

// Renders the core's menu model as a GMenu with one application action per
// item, and follows every later change of an item's title, state or
// enabled flag. Separators become sections. An item whose state turns on
// shows a check mark from then on.
class MenuBar {
public:
    using Perform = std::function<void(MenuItem& item, bool isARepeat)>;
    MenuBar(GActionMap* actions, std::string applicationName, Perform perform);
    ~MenuBar();
    MenuBar(const MenuBar&) = delete;
    MenuBar& operator=(const MenuBar&) = delete;

    // Replaces what was rendered before; null renders nothing.
    void render(const std::shared_ptr<Menu>& mainMenu);
    // The rendered menu bar, or null.
    GMenu* model() const { return model_; }
    // Performs the enabled item whose key equivalent the key event matches.
    bool performKeyEquivalent(GdkEvent* event, bool isARepeat);

private:
    struct Entry;
    void clear();
    GMenu* buildMenu(const Menu& menu);
    void addItem(GMenu* section, const std::shared_ptr<MenuItem>& item);
    void refresh(Entry& entry);
    void installAction(Entry& entry, bool stateful);
    static void onActivate(GSimpleAction* action, void* parameter, void* entry);

    GActionMap* actions_;
    std::string applicationName_;
    Perform perform_;
    GMenu* model_ = nullptr;
    std::vector<std::unique_ptr<Entry>> entries_;
    unsigned generation_ = 0;
};

}  // namespace pelko::gtk
