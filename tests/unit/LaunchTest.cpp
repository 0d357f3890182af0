#include <gtest/gtest.h>

#include "fakes/TestApp.h"

using namespace pelko;
using namespace pelko::test;

TEST(Launch, RunsEveryStepInOrder) {
    TestApp t;
    t.launch();
    const std::vector<std::string> expected{
        "relocateToApplicationsIfNeeded",
        "toolkit.makeWebViewConfiguration",
        "configuration.persistentDataStore",
        "configuration.javaScriptCanOpenWindowsAutomatically true",
        "configuration.mediaTypesRequiringUserAction 2",
        "configuration.addUserScript",
        "configuration.addScriptMessageHandler pelko",
        "toolkit.makeWebView",
        "webView.setNavigationDelegate",
        "webView.setUIDelegate",
        "webView.setAllowsBackForwardNavigationGestures true",
        "webView.setCustomUserAgent",
        "toolkit.makeWindow",
        "window.setTitle Pelko",
        "window.setFrameAutosaveName PelkoMainWindow",
        "window.setContentView",
        "window.setMinSize",
        "window.setDelegate",
        "window.center",
        "window.makeKeyAndOrderFront",
        "application.setMainMenu",
        "application.addLocalMonitorForKeyDownEvents",
        "webView.loadRequest https://pelko.test/",
        "application.activate",
        "checkForUpdate",
    };
    // Voice status updates may interleave; the launch steps keep this order.
    std::vector<std::string> steps;
    for (const auto& call : t.platform.log.calls())
        if (std::find(expected.begin(), expected.end(), call) != expected.end()) steps.push_back(call);
    EXPECT_EQ(steps, expected);
}

TEST(Launch, ConfiguresWebViewAndWindowAsTheServiceExpects) {
    TestApp t;
    t.launch();
    EXPECT_EQ(t.webView().userAgent,
              "Mozilla/5.0 (Macintosh; Intel Mac OS X 10_15_7) AppleWebKit/605.1.15 (KHTML, like Gecko) "
              "Version/17.4 Safari/605.1.15");
    EXPECT_EQ(t.webView().frame, (Rect{0, 0, 1280, 860}));
    EXPECT_EQ(t.window().contentRect, (Rect{0, 0, 1280, 860}));
    EXPECT_EQ(t.window().styleMask, 15u);
    EXPECT_EQ(t.window().minSize, (Size{720, 560}));
    EXPECT_EQ(t.window().contentView, &t.webView());
    EXPECT_EQ(t.window().delegate, t.app.get());
    EXPECT_EQ(t.webView().navigationDelegate, t.app.get());
    EXPECT_EQ(t.webView().uiDelegate, t.app.get());

    ASSERT_EQ(t.webView().loads.size(), 1u);
    EXPECT_EQ(t.webView().loads[0].url.absoluteString, "https://pelko.test/");
    EXPECT_EQ(t.webView().loads[0].timeout, std::chrono::seconds(60));
    EXPECT_EQ(t.webView().loads[0].cachePolicy, CachePolicy::useProtocolCachePolicy);

    auto& config = *t.platform.toolkit.configuration;
    ASSERT_EQ(config.userScripts.size(), 1u);
    EXPECT_EQ(config.userScripts[0].injectionTime, UserScriptInjectionTime::atDocumentStart);
    EXPECT_FALSE(config.userScripts[0].forMainFrameOnly);
    EXPECT_EQ(config.handlers.at("pelko"), t.app.get());
}

TEST(Launch, RelocationInProgressCreatesNothingAndRequestsNothing) {
    TestApp t;
    t.launch(/*relocates=*/true);
    EXPECT_EQ(t.platform.log.calls(), std::vector<std::string>{"relocateToApplicationsIfNeeded"});
    EXPECT_EQ(t.app->window, nullptr);
    EXPECT_EQ(t.app->webView, nullptr);
    EXPECT_EQ(t.app->ctrlShiftSpaceMonitor, nullptr);
    EXPECT_EQ(t.platform.application.mainMenu, nullptr);
    EXPECT_EQ(t.platform.mainQueue.pending(), 0u);
}

TEST(Launch, ProcessValuesComeFromTheServiceOrigin) {
    FakeUrls urls;
    auto values = makeProcessValues(urls, "https://pelko.test");
    ASSERT_TRUE(values);
    EXPECT_EQ(values->homeURL.absoluteString, "https://pelko.test/");
    EXPECT_EQ(values->updateFeedURL.absoluteString, "https://pelko.test/desktop-latest.json");
    EXPECT_EQ(values->downloadExtensions, (std::set<std::string>{"pkg", "dmg", "zip", "exe", "msi"}));
    EXPECT_FALSE(makeProcessValues(urls, "not an origin"));
}

TEST(Window, CloseHidesAndReopenShowsTheSameWindow) {
    TestApp t;
    t.launch();
    FakeWindow* before = &t.window();
    EXPECT_TRUE(before->isVisible());

    EXPECT_FALSE(t.app->windowShouldClose());
    EXPECT_FALSE(before->isVisible());
    EXPECT_FALSE(t.app->applicationShouldTerminateAfterLastWindowClosed());
    EXPECT_EQ(t.app->window.get(), before);

    t.platform.log.clear();
    EXPECT_TRUE(t.app->applicationShouldHandleReopen(/*hasVisibleWindows=*/false));
    EXPECT_TRUE(before->isVisible());
    EXPECT_EQ(t.platform.log.calls(),
              (std::vector<std::string>{"window.makeKeyAndOrderFront", "application.activate"}));
    // The page was never reloaded or replaced.
    EXPECT_EQ(t.webView().loads.size(), 1u);
}

TEST(Window, ReopenWithVisibleWindowsDoesNothing) {
    TestApp t;
    t.launch();
    t.platform.log.clear();
    EXPECT_TRUE(t.app->applicationShouldHandleReopen(/*hasVisibleWindows=*/true));
    EXPECT_TRUE(t.platform.log.calls().empty());
}

struct VersionCase {
    const char* name;
    nlohmann::json info;
    std::string expected;
};

class AppVersionTest : public ::testing::TestWithParam<VersionCase> {};

TEST_P(AppVersionTest, ReadsTheShortVersionString) {
    TestApp t;
    t.platform.bundle.info = GetParam().info;
    EXPECT_EQ(t.app->appVersion(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Bundles, AppVersionTest,
    ::testing::Values(VersionCase{"present", {{"CFBundleShortVersionString", "2.10.1"}}, "2.10.1"},
                      VersionCase{"missing", nlohmann::json::object(), "0"},
                      VersionCase{"number", {{"CFBundleShortVersionString", 3}}, "0"},
                      VersionCase{"null", {{"CFBundleShortVersionString", nullptr}}, "0"},
                      VersionCase{"empty", {{"CFBundleShortVersionString", ""}}, ""}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(ShowAlert, NeverRunsBeforeTheCallerReturns) {
    TestApp t;
    t.app->showAlert("Couldn't set up", "Details here");
    EXPECT_TRUE(t.platform.alerts.shown.empty());
    t.platform.mainQueue.runUntilIdle();
    ASSERT_EQ(t.platform.alerts.shown.size(), 1u);
    EXPECT_EQ(t.platform.alerts.shown[0].title, "Couldn't set up");
    EXPECT_EQ(t.platform.alerts.shown[0].message, "Details here");
    EXPECT_TRUE(t.platform.alerts.shown[0].buttons.empty());
}
