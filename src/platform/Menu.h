#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace pelko {

class MenuItem;

// Command, the platform's default modifier of a key equivalent.
inline constexpr std::uint64_t kDefaultKeyEquivalentModifierMask = 1ull << 20;

// What a menu item does. Items aimed at the controller reach
// `MenuActionTarget`; the others are the platform's standard commands, sent
// to the first responder.
enum class MenuAction {
    none,
    // first responder
    orderFrontStandardAboutPanel,
    hide,
    terminate,
    undo,
    redo,
    cut,
    copy,
    paste,
    selectAll,
    performMiniaturize,
    performClose,
    // controller
    checkForUpdateManual,
    pushToTalkToggled,
    speakRepliesToggled,
    reloadPage,
    goHome,
    goBack,
    goForward,
};

class MenuActionTarget {
public:
    virtual ~MenuActionTarget() = default;
    // `sender` is the item that was chosen. `isARepeat` is true for an
    // auto-repeated key equivalent, where the platform tells.
    virtual void performMenuAction(MenuAction action, MenuItem& sender, bool isARepeat) = 0;
};

enum class MenuItemState { off = 0, on = 1 };

// The menu model. The core builds it; a backend renders it natively and
// follows later changes through the item's change observer.
class Menu {
public:
    explicit Menu(std::string title = {}) : title_(std::move(title)) {}
    const std::string& title() const { return title_; }
    void addItem(std::shared_ptr<MenuItem> item) { items_.push_back(std::move(item)); }
    const std::vector<std::shared_ptr<MenuItem>>& items() const { return items_; }

private:
    std::string title_;
    std::vector<std::shared_ptr<MenuItem>> items_;
};

class MenuItem {
public:
    MenuItem() = default;
    MenuItem(std::string title, MenuAction action, std::string keyEquivalent)
        : title_(std::move(title)), action_(action), keyEquivalent_(std::move(keyEquivalent)) {}
    static std::shared_ptr<MenuItem> separatorItem() {
        auto item = std::make_shared<MenuItem>();
        item->separator_ = true;
        return item;
    }

    bool isSeparatorItem() const { return separator_; }
    const std::string& title() const { return title_; }
    void setTitle(const std::string& title) { title_ = title; changed(); }
    MenuAction action() const { return action_; }
    // A capital letter adds Shift; an empty text means no key equivalent.
    const std::string& keyEquivalent() const { return keyEquivalent_; }
    std::uint64_t keyEquivalentModifierMask() const { return modifierMask_; }
    void setKeyEquivalentModifierMask(std::uint64_t mask) { modifierMask_ = mask; }
    // Null: the first responder.
    MenuActionTarget* target() const { return target_; }
    void setTarget(MenuActionTarget* target) { target_ = target; }
    MenuItemState state() const { return state_; }
    void setState(MenuItemState state) { state_ = state; changed(); }
    bool isEnabled() const { return enabled_; }
    void setEnabled(bool enabled) { enabled_ = enabled; changed(); }
    const std::shared_ptr<Menu>& submenu() const { return submenu_; }
    void setSubmenu(std::shared_ptr<Menu> submenu) { submenu_ = std::move(submenu); }

    // Set by the backend that renders the item; called after every change of
    // title, state or enabled.
    void setChangeObserver(std::function<void(const MenuItem&)> observer) { observer_ = std::move(observer); }

private:
    void changed() {
        if (observer_) observer_(*this);
    }

    bool separator_ = false;
    std::string title_;
    MenuAction action_ = MenuAction::none;
    std::string keyEquivalent_;
    std::uint64_t modifierMask_ = kDefaultKeyEquivalentModifierMask;
    MenuActionTarget* target_ = nullptr;
    MenuItemState state_ = MenuItemState::off;
    bool enabled_ = true;
    std::shared_ptr<Menu> submenu_;
    std::function<void(const MenuItem&)> observer_;
};

}  // namespace pelko
