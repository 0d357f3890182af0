// Real key presses through the X server: what the local key monitors see,
// what the page sees, and the menus' key equivalents.
#include <gtk/gtk.h>
#include <gtest/gtest.h>

#include "FakeKeyboard.h"
#include "MenuModel.h"
#include "TestApp.h"
#include "gtk/LinuxPlatform.h"

namespace pelko::e2e {
namespace {

class Keyboard : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(keyboard.available()) << "no X display";
        // The server repeats held keys only in the test that asks for it.
        keyboard.setAutoRepeat(10000, 40);
        // Installed before the launch, so it sees each key-down before the app's own monitor.
        monitor = World::get().platform().application().addLocalMonitorForKeyDownEvents([this](const KeyEvent& event) {
            seen.push_back(event);
            return true;
        });
        app.launchAndWaitForHome();
        ASSERT_TRUE(runUntil([&] { return gtk_widget_get_mapped(GTK_WIDGET(app.window())); }));
        keyboard.focus(app.window());
        ASSERT_TRUE(runUntil([&] { return gtk_window_is_active(app.window()); }));
        app.evaluate(R"(
            window.__keys = [];
            addEventListener('keydown', e => window.__keys.push(
                {code: e.code, ctrl: e.ctrlKey, shift: e.shiftKey, alt: e.altKey}), true);
            document.getElementById('composer-input').focus();
            0)");
    }
    void TearDown() override { monitor.reset(); }

    // Presses a key the page sees, and waits until it has: everything pressed before has been handled.
    void settle() {
        const auto count = app.evaluate("window.__keys.length").value.value_or(0).get<int>();
        keyboard.chord({"F8"});
        ASSERT_TRUE(runUntil([&] {
            return app.evaluate("window.__keys.length > " + std::to_string(count) +
                                " && window.__keys[window.__keys.length - 1].code === 'F8'")
                .value == nlohmann::json(true);
        }));
    }
    std::vector<KeyEvent> seenWithKeyCode(unsigned short keyCode) const {
        std::vector<KeyEvent> out;
        for (const auto& event : seen) {
            if (event.keyCode == keyCode) out.push_back(event);
        }
        return out;
    }
    nlohmann::json pageKeys(const std::string& code) {
        return app.evaluate("window.__keys.filter(k => k.code === '" + code + "')").value.value_or(nullptr);
    }

    TestApp app;
    FakeKeyboard keyboard;
    std::vector<KeyEvent> seen;
    std::unique_ptr<MonitorToken> monitor;
};

TEST_F(Keyboard, MonitorsSeeEachKeyDownOnceWithThePlatformsCodesAndFlags) {
    struct Case {
        std::initializer_list<const char*> keys;
        std::uint64_t flags;
    };
    const Case cases[] = {
        {{"space"}, 0},
        {{"Control_L", "space"}, kModifierControl},
        {{"Shift_L", "space"}, kModifierShift},
        {{"Alt_L", "space"}, kModifierOption},
        {{"Super_L", "space"}, kModifierCommand},
        {{"Control_L", "Alt_L", "Shift_L", "space"}, kModifierControl | kModifierOption | kModifierShift},
    };
    for (const auto& c : cases) {
        seen.clear();
        keyboard.chord(c.keys);
        settle();
        const auto spaces = seenWithKeyCode(kKeyCodeSpace);
        ASSERT_EQ(spaces.size(), 1u) << "flags " << c.flags;
        EXPECT_EQ(spaces[0].modifierFlags & ~kModifierCapsLock, c.flags);
        EXPECT_FALSE(spaces[0].isARepeat);
        EXPECT_EQ(spaces[0].window, app.delegate().window());
    }
    // Letters by position: "a" is 0 on the platform's keyboard table.
    seen.clear();
    keyboard.chord({"a"});
    settle();
    EXPECT_EQ(seenWithKeyCode(0).size(), 1u);
}

TEST_F(Keyboard, AKeyHeldDownRepeatsUntilReleased) {
    keyboard.setAutoRepeat(150, 40);
    keyboard.press("space");
    // The server repeats the held key on its own.
    const bool repeated = runUntil([&] { return seenWithKeyCode(kKeyCodeSpace).size() >= 3; });
    keyboard.release("space");
    ASSERT_TRUE(repeated);
    settle();
    const auto held = seenWithKeyCode(kKeyCodeSpace);
    EXPECT_FALSE(held[0].isARepeat);
    for (std::size_t i = 1; i < held.size(); ++i) EXPECT_TRUE(held[i].isARepeat) << i;

    keyboard.chord({"space"});
    settle();
    EXPECT_FALSE(seenWithKeyCode(kKeyCodeSpace).back().isARepeat);
    EXPECT_EQ(seenWithKeyCode(kKeyCodeSpace).size(), held.size() + 1);
}

TEST_F(Keyboard, AKeyReleasedWhileAnotherWindowHadTheKeyboardIsNotHeldOnReturn) {
    keyboard.press("space");
    ASSERT_TRUE(runUntil([&] { return seenWithKeyCode(kKeyCodeSpace).size() == 1; }));
    // Another window takes the keyboard; the release happens there.
    GtkWindow* other = GTK_WINDOW(gtk_window_new());
    gtk_window_present(other);
    ASSERT_TRUE(runUntil([&] { return gtk_widget_get_mapped(GTK_WIDGET(other)); }));
    keyboard.focus(other);
    ASSERT_TRUE(runUntil([&] { return !gtk_window_is_active(app.window()); }));
    keyboard.release("space");
    keyboard.focus(app.window());
    ASSERT_TRUE(runUntil([&] { return gtk_window_is_active(app.window()); }));
    gtk_window_destroy(other);

    keyboard.chord({"space"});
    settle();
    const auto spaces = seenWithKeyCode(kKeyCodeSpace);
    ASSERT_EQ(spaces.size(), 2u);
    EXPECT_FALSE(spaces[1].isARepeat);
}

TEST_F(Keyboard, ControlShiftSpaceTogglesPushToTalkAndNeverReachesThePage) {
    keyboard.chord({"Control_L", "Shift_L", "space"});
    settle();
    // This build has no recognizer: the toggle ends in the status that says so.
    EXPECT_TRUE(findItem(readMenuBar(gtk_application_get_menubar(World::get().application())),
                         "Status: Speech recognizer unavailable"));
    EXPECT_EQ(pageKeys("Space"), nlohmann::json::array());

    // Control+Space is not the shortcut: it goes on to the page.
    keyboard.chord({"Control_L", "space"});
    settle();
    EXPECT_EQ(pageKeys("Space"), nlohmann::json::parse(R"([{"code":"Space","ctrl":true,"shift":false,"alt":false}])"));
}

TEST_F(Keyboard, MenuKeyEquivalentsActBeforeThePage) {
    ASSERT_TRUE(app.loads([&] { keyboard.chord({"Control_L", "r"}); }, "/"));

    // After the reload the page's listener is gone; one that records again shows what it gets.
    app.evaluate(R"(
        window.__keys = [];
        addEventListener('keydown', e => window.__keys.push({code: e.code}), true);
        0)");
    keyboard.chord({"Control_L", "w"});
    ASSERT_TRUE(runUntil([&] { return !gtk_widget_get_visible(GTK_WIDGET(app.window())); }));
    EXPECT_EQ(pageKeys("KeyW"), nlohmann::json::array());
}

}  // namespace
}  // namespace pelko::e2e
