// The menu bar as rendered by GTK, and what its items do.
#include <gtk/gtk.h>
#include <gtest/gtest.h>
#include <webkit/webkit.h>

#include "MenuModel.h"
#include "TestApp.h"
#include "gtk/LinuxPlatform.h"

namespace pelko::e2e {
namespace {

class MenuBar : public ::testing::Test {
protected:
    void SetUp() override { app.launchAndWaitForHome(); }

    std::vector<RenderedMenu> menus() const {
        return readMenuBar(gtk_application_get_menubar(World::get().application()));
    }
    RenderedItem item(const std::string& label) const {
        auto found = findItem(menus(), label);
        EXPECT_TRUE(found) << label;
        return found.value_or(RenderedItem{});
    }
    GActionGroup* actions() const { return G_ACTION_GROUP(World::get().application()); }
    void choose(const std::string& label) const {
        g_action_group_activate_action(actions(), item(label).action.c_str(), nullptr);
    }
    std::optional<bool> checkState(const std::string& label) const {
        GVariant* state = g_action_group_get_action_state(actions(), item(label).action.c_str());
        if (!state) return std::nullopt;
        const bool on = g_variant_get_boolean(state);
        g_variant_unref(state);
        return on;
    }

    TestApp app;
};

TEST_F(MenuBar, HasTheFiveMenusWithTheirItemsInOrder) {
    const auto bar = menus();
    ASSERT_EQ(bar.size(), 5u);
    EXPECT_EQ(bar[0].label, "Pelko");
    EXPECT_EQ(bar[0].labels(),
              (std::vector<std::string>{"About Pelko", "Check for Updates\u2026", "Hide Pelko", "Quit Pelko"}));
    EXPECT_EQ(bar[0].sections.size(), 2u) << "the separator after Check for Updates";
    EXPECT_EQ(bar[1].label, "Edit");
    EXPECT_EQ(bar[1].labels(), (std::vector<std::string>{"Undo", "Redo", "Cut", "Copy", "Paste", "Select All"}));
    EXPECT_EQ(bar[2].label, "Voice");
    EXPECT_EQ(bar[2].labels(), (std::vector<std::string>{"Push to Talk", "Speak Replies Automatically",
                                                          "Status: Voice ready"}));
    EXPECT_EQ(bar[3].label, "View");
    EXPECT_EQ(bar[3].labels(), (std::vector<std::string>{"Reload", "Home", "Back", "Forward"}));
    EXPECT_EQ(bar[4].label, "Window");
    EXPECT_EQ(bar[4].labels(), (std::vector<std::string>{"Minimize", "Close"}));
}

TEST_F(MenuBar, KeyEquivalentsUseCtrlWhereTheMenusSayCommand) {
    const std::vector<std::pair<std::string, std::string>> table{
        {"About Pelko", ""},          {"Hide Pelko", "<Control>h"},       {"Quit Pelko", "<Control>q"},
        {"Undo", "<Control>z"},       {"Redo", "<Shift><Control>z"},      {"Select All", "<Control>a"},
        {"Push to Talk", "<Shift><Control>space"},                        {"Speak Replies Automatically", ""},
        {"Reload", "<Control>r"},     {"Home", "<Shift><Control>h"},      {"Back", "<Control>bracketleft"},
        {"Forward", "<Control>bracketright"},                             {"Close", "<Control>w"},
    };
    for (const auto& [label, accel] : table) EXPECT_EQ(item(label).accel, accel) << label;
}

TEST_F(MenuBar, TheStatusItemIsDisabledAndFollowsTheVoiceStatus) {
    const std::string status = item("Status: Voice ready").action;
    EXPECT_FALSE(g_action_group_get_action_enabled(actions(), status.c_str()));
    EXPECT_TRUE(g_action_group_get_action_enabled(actions(), item("Reload").action.c_str()));

    app.delegate().voiceStatusChanged("\u25CF Listening\u2026");
    EXPECT_TRUE(findItem(menus(), "Status: \u25CF Listening\u2026"));
    EXPECT_FALSE(findItem(menus(), "Status: Voice ready"));
    EXPECT_STREQ(gtk_window_get_title(app.window()), "Pelko \u2014 \u25CF Listening\u2026");
    EXPECT_FALSE(g_action_group_get_action_enabled(actions(), item("Status: \u25CF Listening\u2026").action.c_str()));

    app.delegate().voiceStatusChanged("Voice ready");
    EXPECT_TRUE(findItem(menus(), "Status: Voice ready"));
    EXPECT_STREQ(gtk_window_get_title(app.window()), "Pelko");
}

TEST_F(MenuBar, SpeakRepliesShowsItsCheckMarkAndStoresTheChoice) {
    EXPECT_EQ(checkState("Speak Replies Automatically"), true);
    choose("Speak Replies Automatically");
    EXPECT_EQ(checkState("Speak Replies Automatically"), false);
    EXPECT_EQ(World::get().platform().settings().value("Defaults", "voiceSpeakReplies"), "false");
    choose("Speak Replies Automatically");
    EXPECT_EQ(checkState("Speak Replies Automatically"), true);
    EXPECT_EQ(World::get().platform().settings().value("Defaults", "voiceSpeakReplies"), "true");
}

TEST_F(MenuBar, ViewItemsDriveTheWebViewAndCloseOnlyHides) {
    ASSERT_TRUE(app.load("/cookie"));
    app.evaluate("window.__loaded = 'before reload'; 0");
    ASSERT_TRUE(app.loads([&] { choose("Reload"); }, "/cookie"));
    EXPECT_EQ(app.evaluate("window.__loaded || null").value, nlohmann::json(nullptr));
    EXPECT_TRUE(app.loads([&] { choose("Back"); }, "/"));
    EXPECT_TRUE(app.loads([&] { choose("Forward"); }, "/cookie"));
    EXPECT_TRUE(app.loads([&] { choose("Home"); }, "/"));

    choose("Close");
    ASSERT_TRUE(runUntil([&] { return !gtk_widget_get_visible(GTK_WIDGET(app.window())); }));
    EXPECT_NE(app.window(), nullptr);
    // Menu actions still reach the hidden page.
    EXPECT_TRUE(app.loads([&] { choose("Reload"); }, "/"));
}

TEST_F(MenuBar, EditItemsActOnTheFocusedPageField) {
    app.evaluate(R"(
        const source = document.getElementById('composer-input');
        source.value = 'copied through the menu';
        source.focus();
        0)");
    choose("Select All");
    choose("Copy");
    app.evaluate(R"(
        const target = document.createElement('textarea');
        target.id = 'paste-target';
        document.body.appendChild(target);
        target.focus();
        0)");
    choose("Paste");
    EXPECT_TRUE(app.waitForValue("document.getElementById('paste-target').value", "copied through the menu"));
    choose("Undo");
    EXPECT_TRUE(app.waitForValue("document.getElementById('paste-target').value", ""));
    choose("Redo");
    EXPECT_TRUE(app.waitForValue("document.getElementById('paste-target').value", "copied through the menu"));
}

}  // namespace
}  // namespace pelko::e2e
