#include "app/MainMenu.h"

#include "platform/Application.h"

namespace pelko {

namespace {

constexpr std::uint64_t kPushToTalkModifierMask = kModifierCommand | kModifierShift;  // 0x120000

std::shared_ptr<MenuItem> item(const std::string& title, MenuAction action, const std::string& key,
                               MenuActionTarget* target = nullptr) {
    auto entry = std::make_shared<MenuItem>(title, action, key);
    entry->setTarget(target);
    return entry;
}

// A top-level item without a title, carrying a new menu.
std::shared_ptr<Menu> attach(Menu& mainMenu, const std::string& title) {
    auto top = std::make_shared<MenuItem>();
    mainMenu.addItem(top);
    auto submenu = std::make_shared<Menu>(title);
    top->setSubmenu(submenu);
    return submenu;
}

}  // namespace

std::shared_ptr<Menu> buildMainMenu(MenuActionTarget& controller, bool speakReplies,
                                    const std::shared_ptr<MenuItem>& voiceStatusItem, const std::string& status) {
    auto mainMenu = std::make_shared<Menu>();

    auto appMenu = attach(*mainMenu, "");
    appMenu->addItem(item("About Pelko", MenuAction::orderFrontStandardAboutPanel, ""));
    appMenu->addItem(item("Check for Updates\u2026", MenuAction::checkForUpdateManual, "", &controller));
    appMenu->addItem(MenuItem::separatorItem());
    appMenu->addItem(item("Hide Pelko", MenuAction::hide, "h"));
    appMenu->addItem(item("Quit Pelko", MenuAction::terminate, "q"));

    auto editMenu = attach(*mainMenu, "Edit");
    editMenu->addItem(item("Undo", MenuAction::undo, "z"));
    editMenu->addItem(item("Redo", MenuAction::redo, "Z"));
    editMenu->addItem(MenuItem::separatorItem());
    editMenu->addItem(item("Cut", MenuAction::cut, "x"));
    editMenu->addItem(item("Copy", MenuAction::copy, "c"));
    editMenu->addItem(item("Paste", MenuAction::paste, "v"));
    editMenu->addItem(item("Select All", MenuAction::selectAll, "a"));

    auto voiceMenu = attach(*mainMenu, "Voice");
    auto pushToTalk = item("Push to Talk", MenuAction::pushToTalkToggled, " ", &controller);
    pushToTalk->setKeyEquivalentModifierMask(kPushToTalkModifierMask);
    voiceMenu->addItem(pushToTalk);
    auto speakRepliesItem = item("Speak Replies Automatically", MenuAction::speakRepliesToggled, "", &controller);
    speakRepliesItem->setState(speakReplies ? MenuItemState::on : MenuItemState::off);
    voiceMenu->addItem(speakRepliesItem);
    voiceMenu->addItem(MenuItem::separatorItem());
    voiceStatusItem->setEnabled(false);
    voiceStatusItem->setTitle("Status: " + status);
    voiceMenu->addItem(voiceStatusItem);

    auto viewMenu = attach(*mainMenu, "View");
    viewMenu->addItem(item("Reload", MenuAction::reloadPage, "r", &controller));
    viewMenu->addItem(item("Home", MenuAction::goHome, "H", &controller));
    viewMenu->addItem(MenuItem::separatorItem());
    viewMenu->addItem(item("Back", MenuAction::goBack, "[", &controller));
    viewMenu->addItem(item("Forward", MenuAction::goForward, "]", &controller));

    auto windowMenu = attach(*mainMenu, "Window");
    windowMenu->addItem(item("Minimize", MenuAction::performMiniaturize, "m"));
    windowMenu->addItem(item("Close", MenuAction::performClose, "w"));

    return mainMenu;
}

}  // namespace pelko
