// The launched app: one window showing the service's home page.
#include <gtk/gtk.h>
#include <gtest/gtest.h>
#include <webkit/webkit.h>

#include "DemoService.h"
#include "TestApp.h"

namespace pelko::e2e {
namespace {

TEST(Launch, ShowsTheHomePageWithTheFixedUserAgent) {
    TestApp app;
    app.launchAndWaitForHome();

    ASSERT_NE(app.window(), nullptr);
    EXPECT_TRUE(gtk_widget_get_visible(GTK_WIDGET(app.window())));
    EXPECT_STREQ(gtk_window_get_title(app.window()), "Pelko");
    EXPECT_EQ(app.currentURL(), World::get().origin() + "/");

    // Every request of the page carries the fixed user agent: the page itself and what it loads.
    bool sawHome = false;
    for (const auto& request : World::get().demo().requests()) {
        if (request.path == "/") sawHome = true;
        EXPECT_EQ(request.userAgent, kUserAgent) << request.path;
    }
    EXPECT_TRUE(sawHome);
    EXPECT_EQ(app.evaluate("navigator.userAgent").value, nlohmann::json(kUserAgent));
    EXPECT_TRUE(app.waitForValue("fetch('/ua').then(r => r.json()).then(j => window.__ua = j.userAgent); 0", 0));
    EXPECT_TRUE(app.waitForValue("window.__ua || null", kUserAgent));
}

TEST(Launch, TheWebViewIsTheWholeContentAt1280By860) {
    TestApp app;
    app.launchAndWaitForHome();
    GtkWidget* view = GTK_WIDGET(app.webView());
    ASSERT_TRUE(runUntil([&] { return gtk_widget_get_width(view) == 1280 && gtk_widget_get_height(view) == 860; }))
        << gtk_widget_get_width(view) << "x" << gtk_widget_get_height(view);
    EXPECT_EQ(gtk_widget_get_root(view), GTK_ROOT(app.window()));
    int minWidth = 0;
    int minHeight = 0;
    gtk_widget_get_size_request(GTK_WIDGET(app.window()), &minWidth, &minHeight);
    EXPECT_EQ(minWidth, 720);
    EXPECT_EQ(minHeight, 560);
    // The page sees the same viewport.
    EXPECT_EQ(app.evaluate("[innerWidth, innerHeight]").value, nlohmann::json({1280, 860}));
}

}  // namespace
}  // namespace pelko::e2e
