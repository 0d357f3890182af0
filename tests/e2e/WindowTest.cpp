// The main window's size, remembered under its autosave name.
#include <gtk/gtk.h>
#include <gtest/gtest.h>

#include "TestApp.h"
#include "gtk/LinuxPlatform.h"

namespace pelko::e2e {
namespace {

constexpr const char* kFrameGroup = "Window PelkoMainWindow";

class WindowFrame : public ::testing::Test {
protected:
    gtk::SettingsFile& settings() { return World::get().platform().settings(); }
    void TearDown() override {
        // Later tests of this process expect the first-launch size.
        settings().setInteger(kFrameGroup, "width", 1280);
        settings().setInteger(kFrameGroup, "height", 860);
    }
    bool contentIs(TestApp& app, int width, int height) {
        GtkWidget* view = GTK_WIDGET(app.webView());
        return runUntil([&] { return gtk_widget_get_width(view) == width && gtk_widget_get_height(view) == height; });
    }
};

TEST_F(WindowFrame, ASavedSizeIsRestored) {
    settings().setInteger(kFrameGroup, "width", 1000);
    settings().setInteger(kFrameGroup, "height", 700);
    TestApp app;
    app.launchAndWaitForHome();
    EXPECT_TRUE(contentIs(app, 1000, 700));
}

TEST_F(WindowFrame, AResizeIsSavedOnceItSettles) {
    TestApp app;
    app.launchAndWaitForHome();
    ASSERT_TRUE(contentIs(app, 1280, 860));
    int width = 0;
    int height = 0;
    gtk_window_get_default_size(app.window(), &width, &height);
    // What the window manager does when the user drags the window's edge.
    gtk_window_set_default_size(app.window(), 1100, height - 100);
    ASSERT_TRUE(contentIs(app, 1100, 760));
    EXPECT_TRUE(runUntil([&] {
        return settings().integer(kFrameGroup, "width") == 1100 && settings().integer(kFrameGroup, "height") == 760;
    }));
}

}  // namespace
}  // namespace pelko::e2e
