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

}  // namespace
}  // namespace pelko::e2e
