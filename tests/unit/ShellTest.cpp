#include <gtest/gtest.h>

#include "app/StatusLine.h"
#include "fakes/TestApp.h"

using namespace pelko;
using namespace pelko::test;

namespace {

struct TitleCase {
    std::string status;
    bool active;
};

class StatusTitle : public ::testing::TestWithParam<TitleCase> {};

TEST_P(StatusTitle, FollowsTheActivePrefixes) {
    const auto& c = GetParam();
    EXPECT_EQ(isActiveVoiceStatus(c.status), c.active);
    EXPECT_EQ(windowTitleForVoiceStatus(c.status), c.active ? "Pelko \u2014 " + c.status : "Pelko");
}

INSTANTIATE_TEST_SUITE_P(
    Texts, StatusTitle,
    ::testing::Values(TitleCase{"\u25CF Listening\u2026 (press \u21E7\u2318Space again to send)", true},
                      TitleCase{"\u25CF Listening\u2026", true}, TitleCase{"\u25CF hello", true},
                      TitleCase{"Transcribing\u2026", true}, TitleCase{"Sending: hi", true},
                      TitleCase{"Waiting for the reply\u2026", true}, TitleCase{"Speaking the reply\u2026", true},
                      TitleCase{"Voice ready", false}, TitleCase{"Sent (voice replies off)", false},
                      TitleCase{"Reply took too long \u2014 press the message's speaker icon", false},
                      TitleCase{"sending: lower case", false}, TitleCase{"", false},
                      TitleCase{" \u25CF leading blank", false}));

TEST(StatusLine, WritesStatusItemAndWindowTitle) {
    TestApp t;
    t.launch();
    t.app->voiceStatusChanged("\u25CF Listening\u2026");
    EXPECT_EQ(t.app->voiceStatusItem->title(), "Status: \u25CF Listening\u2026");
    EXPECT_EQ(t.window().title(), "Pelko \u2014 \u25CF Listening\u2026");
    t.app->voiceStatusChanged("Voice ready");
    EXPECT_EQ(t.app->voiceStatusItem->title(), "Status: Voice ready");
    EXPECT_EQ(t.window().title(), "Pelko");
}

struct KeyCase {
    const char* name;
    std::uint64_t flags;
    unsigned short keyCode;
    bool ownWindow;
    bool repeat;
    ShortcutDecision expected;
};

class Shortcut : public ::testing::TestWithParam<KeyCase> {};

TEST_P(Shortcut, MatchesOnlyControlShiftSpaceInTheMainWindow) {
    const auto& c = GetParam();
    int other = 0;
    const Window* mainWindow = reinterpret_cast<const Window*>(&other);
    const Window* eventWindow = c.ownWindow ? mainWindow : reinterpret_cast<const Window*>(&c);
    EXPECT_EQ(ctrlShiftSpaceDecision(KeyEvent{eventWindow, c.flags, c.keyCode, c.repeat}, mainWindow), c.expected);
}

constexpr std::uint64_t kCtrlShift = kModifierControl | kModifierShift;

INSTANTIATE_TEST_SUITE_P(
    Keys, Shortcut,
    ::testing::Values(
        KeyCase{"ctrlShiftSpace", kCtrlShift, 49, true, false, ShortcutDecision::toggle},
        KeyCase{"withCapsLockAndFunction", kCtrlShift | kModifierCapsLock | kModifierFunction | kModifierNumericPad,
                49, true, false, ShortcutDecision::toggle},
        KeyCase{"autoRepeat", kCtrlShift, 49, true, true, ShortcutDecision::swallowRepeat},
        KeyCase{"withOption", kCtrlShift | kModifierOption, 49, true, false, ShortcutDecision::passOn},
        KeyCase{"withCommand", kCtrlShift | kModifierCommand, 49, true, false, ShortcutDecision::passOn},
        KeyCase{"commandShiftSpace", kModifierCommand | kModifierShift, 49, true, false, ShortcutDecision::passOn},
        KeyCase{"ctrlSpace", kModifierControl, 49, true, false, ShortcutDecision::passOn},
        KeyCase{"shiftSpace", kModifierShift, 49, true, false, ShortcutDecision::passOn},
        KeyCase{"otherKey", kCtrlShift, 50, true, false, ShortcutDecision::passOn},
        KeyCase{"otherWindow", kCtrlShift, 49, false, false, ShortcutDecision::passOn}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(Shortcut, EventWithoutWindowPassesOnWhileThereIsAMainWindow) {
    int other = 0;
    EXPECT_EQ(ctrlShiftSpaceDecision(KeyEvent{nullptr, kCtrlShift, 49, false}, reinterpret_cast<const Window*>(&other)),
              ShortcutDecision::passOn);
    EXPECT_EQ(ctrlShiftSpaceDecision(KeyEvent{nullptr, kCtrlShift, 49, false}, nullptr), ShortcutDecision::toggle);
}

TEST(Shortcut, MonitorSwallowsTheShortcutAndLetsOthersGoOn) {
    TestApp t;
    t.launch();
    EXPECT_FALSE(t.platform.application.sendKeyDown(KeyEvent{&t.window(), kCtrlShift, 49, false}));
    EXPECT_FALSE(t.platform.application.sendKeyDown(KeyEvent{&t.window(), kCtrlShift, 49, true}));
    EXPECT_TRUE(t.platform.application.sendKeyDown(KeyEvent{&t.window(), kModifierControl, 49, false}));
}

TEST(Shortcut, MonitorLetsEverythingGoOnOnceTheControllerIsGone) {
    TestApp t;
    t.launch();
    const Window* window = &t.window();
    t.app.reset();
    EXPECT_TRUE(t.platform.application.sendKeyDown(KeyEvent{window, kCtrlShift, 49, false}));
}

TEST(MenuBar, HasTheFiveMenusInOrder) {
    TestApp t;
    t.launch();
    const auto& menu = *t.platform.application.mainMenu;
    std::vector<std::string> titles;
    for (const auto& top : menu.items()) {
        EXPECT_EQ(top->title(), "");
        ASSERT_TRUE(top->submenu());
        titles.push_back(top->submenu()->title());
    }
    EXPECT_EQ(titles, (std::vector<std::string>{"", "Edit", "Voice", "View", "Window"}));

    const auto& voice = menu.items()[2]->submenu()->items();
    ASSERT_EQ(voice.size(), 4u);
    EXPECT_EQ(voice[0]->title(), "Push to Talk");
    EXPECT_EQ(voice[0]->keyEquivalent(), " ");
    EXPECT_EQ(voice[0]->keyEquivalentModifierMask(), 0x120000u);
    EXPECT_EQ(voice[0]->target(), t.app.get());
    EXPECT_TRUE(voice[2]->isSeparatorItem());
    EXPECT_EQ(voice[3], t.app->voiceStatusItem);
    EXPECT_FALSE(voice[3]->isEnabled());
    EXPECT_EQ(voice[3]->title(), "Status: Voice ready");

    auto update = t.platform.application.menuItem("Check for Updates\u2026");
    ASSERT_TRUE(update);
    EXPECT_EQ(update->target(), t.app.get());
    auto copy = t.platform.application.menuItem("Copy");
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->target(), nullptr);
    EXPECT_EQ(copy->keyEquivalent(), "c");
}

TEST(MenuBar, NavigationActionsActOnTheWebView) {
    TestApp t;
    t.launch();
    t.platform.log.clear();
    auto& app = *t.app;
    auto send = [&](const std::string& title) {
        auto item = t.platform.application.menuItem(title);
        ASSERT_TRUE(item) << title;
        app.performMenuAction(item->action(), *item, false);
    };
    send("Back");     // no history: nothing
    send("Forward");  // nothing
    t.webView().backItems = 1;
    send("Back");
    send("Back");
    send("Reload");
    send("Home");
    EXPECT_EQ(t.platform.log.calls(), (std::vector<std::string>{"webView.goBack", "webView.reload",
                                                                "webView.loadRequest https://pelko.test/"}));
    EXPECT_EQ(t.webView().loads.back().timeout, std::chrono::seconds(60));
}

}  // namespace
