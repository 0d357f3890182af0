#include "app/AppDelegate.h"

namespace pelko {

namespace {

constexpr std::uint64_t kPushToTalkModifierMask = kModifierCommand | kModifierShift;  // 0x120000

std::shared_ptr<MenuItem> item(const std::string& title, MenuAction action, const std::string& key,
                               MenuActionTarget* target = nullptr) {
    auto entry = std::make_shared<MenuItem>(title, action, key);
    entry->setTarget(target);
    return entry;
}

// A top-level item without a title, carrying `submenu`.
void attach(Menu& mainMenu, std::shared_ptr<Menu> submenu) {
    auto top = std::make_shared<MenuItem>();
    mainMenu.addItem(top);
    top->setSubmenu(std::move(submenu));
}

}  // namespace

std::shared_ptr<Menu> AppDelegate::buildMainMenu() {
    auto mainMenu = std::make_shared<Menu>();

    auto appMenu = std::make_shared<Menu>();
    attach(*mainMenu, appMenu);
    appMenu->addItem(item("About Pelko", MenuAction::orderFrontStandardAboutPanel, ""));
    appMenu->addItem(item("Check for Updates\u2026", MenuAction::checkForUpdateManual, "", this));
    appMenu->addItem(MenuItem::separatorItem());
    appMenu->addItem(item("Hide Pelko", MenuAction::hide, "h"));
    appMenu->addItem(item("Quit Pelko", MenuAction::terminate, "q"));

    auto editMenu = std::make_shared<Menu>("Edit");
    attach(*mainMenu, editMenu);
    editMenu->addItem(item("Undo", MenuAction::undo, "z"));
    editMenu->addItem(item("Redo", MenuAction::redo, "Z"));
    editMenu->addItem(MenuItem::separatorItem());
    editMenu->addItem(item("Cut", MenuAction::cut, "x"));
    editMenu->addItem(item("Copy", MenuAction::copy, "c"));
    editMenu->addItem(item("Paste", MenuAction::paste, "v"));
    editMenu->addItem(item("Select All", MenuAction::selectAll, "a"));

    auto voiceMenu = std::make_shared<Menu>("Voice");
    attach(*mainMenu, voiceMenu);
    auto pushToTalk = item("Push to Talk", MenuAction::pushToTalkToggled, " ", this);
    pushToTalk->setKeyEquivalentModifierMask(kPushToTalkModifierMask);
    voiceMenu->addItem(pushToTalk);
    auto speakReplies = item("Speak Replies Automatically", MenuAction::speakRepliesToggled, "", this);
    voiceMenu->addItem(speakReplies);
    speakReplies->setState(voiceSpeakReplies() ? MenuItemState::on : MenuItemState::off);
    voiceMenu->addItem(MenuItem::separatorItem());
    voiceStatusItem->setEnabled(false);
    voiceStatusItem->setTitle("Status: " + voiceStatusText());
    voiceMenu->addItem(voiceStatusItem);

    auto viewMenu = std::make_shared<Menu>("View");
    attach(*mainMenu, viewMenu);
    viewMenu->addItem(item("Reload", MenuAction::reloadPage, "r", this));
    viewMenu->addItem(item("Home", MenuAction::goHome, "H", this));
    viewMenu->addItem(MenuItem::separatorItem());
    viewMenu->addItem(item("Back", MenuAction::goBack, "[", this));
    viewMenu->addItem(item("Forward", MenuAction::goForward, "]", this));

    auto windowMenu = std::make_shared<Menu>("Window");
    attach(*mainMenu, windowMenu);
    windowMenu->addItem(item("Minimize", MenuAction::performMiniaturize, "m"));
    windowMenu->addItem(item("Close", MenuAction::performClose, "w"));

    return mainMenu;
}

void AppDelegate::performMenuAction(MenuAction action, MenuItem& sender, bool isARepeat) {
    switch (action) {
    case MenuAction::checkForUpdateManual: checkForUpdateManual(); break;
    case MenuAction::pushToTalkToggled: pushToTalkToggled(isARepeat); break;
    case MenuAction::speakRepliesToggled: speakRepliesToggled(sender); break;
    case MenuAction::reloadPage: reloadPage(); break;
    case MenuAction::goHome: goHome(); break;
    case MenuAction::goBack: goBack(); break;
    case MenuAction::goForward: goForward(); break;
    default: break;  // first-responder commands are the platform's own
    }
}

void AppDelegate::reloadPage() {
    if (webView) webView->reload();
}

void AppDelegate::goHome() {
    if (webView) webView->loadRequest(UrlRequest{values_.homeURL});
}

void AppDelegate::goBack() {
    if (webView && webView->canGoBack()) webView->goBack();
}

void AppDelegate::goForward() {
    if (webView && webView->canGoForward()) webView->goForward();
}

}  // namespace pelko
