// What outlives a closed window and a restart.
#include <gtk/gtk.h>
#include <gtest/gtest.h>
#include <webkit/webkit.h>

#include <filesystem>

#include "TestApp.h"

namespace pelko::e2e {
namespace {

TEST(Lifecycle, ClosingHidesTheWindowAndASecondLaunchShowsTheSamePage) {
    TestApp app;
    app.launchAndWaitForHome();
    ASSERT_TRUE(app.load("/cookie"));
    app.evaluate("window.__state = 'kept'; 0");
    GtkWindow* window = app.window();

    gtk_window_close(window);  // the close button's path
    ASSERT_TRUE(runUntil([&] { return !gtk_widget_get_visible(GTK_WIDGET(window)); }));
    EXPECT_EQ(app.window(), window) << "the window is hidden, not destroyed";
    EXPECT_EQ(app.delegate().reopens, 0);

    // A second launch of the program finds this instance and hands it the activation.
    EXPECT_EQ(runHelperProcess({"--helper=second-launch"}, {}), 0);
    ASSERT_TRUE(runUntil([&] { return gtk_widget_get_visible(GTK_WIDGET(window)); }));
    EXPECT_EQ(app.delegate().reopens, 1);
    EXPECT_EQ(app.currentURL(), World::get().origin() + "/cookie");
    EXPECT_EQ(app.evaluate("window.__state").value, nlohmann::json("kept"));

    // With the window shown, another launch only brings it forward.
    EXPECT_EQ(runHelperProcess({"--helper=second-launch"}, {}), 0);
    ASSERT_TRUE(runUntil([&] { return app.delegate().reopens == 2; }));
    EXPECT_TRUE(gtk_widget_get_visible(GTK_WIDGET(window)));
}

TEST(Lifecycle, ACookieSurvivesARestart) {
    // Two whole runs of the app, one after the other, over the same data folders.
    const std::string profile = temporaryHome() + "/restart-profile";
    const std::map<std::string, std::string> environment{{"XDG_CONFIG_HOME", profile + "/config"},
                                                         {"XDG_DATA_HOME", profile + "/data"},
                                                         {"XDG_CACHE_HOME", profile + "/cache"}};
    ASSERT_EQ(runHelperProcess({"--helper=cookie-set:remembered42"}, environment), 0);
    EXPECT_TRUE(std::filesystem::exists(profile + "/data/pelko/cookies.sqlite"));
    EXPECT_EQ(runHelperProcess({"--helper=cookie-check:remembered42"}, environment), 0);
    // And a run over other folders does not see it.
    const std::map<std::string, std::string> elsewhere{{"XDG_CONFIG_HOME", profile + "/other/config"},
                                                       {"XDG_DATA_HOME", profile + "/other/data"},
                                                       {"XDG_CACHE_HOME", profile + "/other/cache"}};
    EXPECT_NE(runHelperProcess({"--helper=cookie-check:remembered42"}, elsewhere), 0);
}

}  // namespace
}  // namespace pelko::e2e
