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
