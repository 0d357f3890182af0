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
