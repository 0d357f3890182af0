// Where the page's navigations go, by the paths a user takes on the demo's
// playground page: a click on a link to another host goes to the browser
// while a form or a script stays in the window; a mail link goes to the
// system; a new window of the service
// shows in place, one elsewhere goes to the browser; a file input gets the
// chooser and the page the chosen files.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "DemoService.h"
#include "Harness.h"

namespace pelko::e2e {
namespace {

// The other loopback name on the service's port: another host, which the demo serves too.
std::string elsewhere(const std::string& path) {
    return "http://localhost:" + std::to_string(World::get().demo->port()) + path;
}

// Whether the demo was ever asked for `path`: a navigation cancelled at its start never asks.
bool requested(const std::string& path) {
    const auto requests = World::get().demo->requests();
    return std::any_of(requests.begin(), requests.end(), [&](const auto& request) { return request.path == path; });
}

void click(TestApp& app, const std::string& id) { app.eval("document.getElementById('" + id + "').click(); 0"); }

// The playground, marked so that a reload or another page shows.
[[nodiscard]] bool openPlayground(TestApp& app) {
    if (!app.launch() || !app.load("/playground.html")) return false;
    app.eval("window.__stayed = true; 0");
    return true;
}

bool stillOnThePlayground(TestApp& app) {
    return app.url() == World::get().origin() + "/playground.html" && app.eval("window.__stayed === true") == true;
}

// Clicking `id` hands exactly the other site's `path` to the browser, and the playground stays.
[[nodiscard]] ::testing::AssertionResult goesToTheBrowser(TestApp& app, const std::string& id, const std::string& path) {
    std::vector<std::string>& browser = app.workspace().openedURLs;
    click(app, id);
    if (!runUntil([&] { return !browser.empty(); })) return ::testing::AssertionFailure() << "nothing reached the browser";
    if (browser != std::vector<std::string>{elsewhere(path)}) return ::testing::AssertionFailure() << browser.front();
    if (!stillOnThePlayground(app)) return ::testing::AssertionFailure() << "the page went to " << app.url();
    return ::testing::AssertionSuccess();
}

TEST(Navigation, ALinkElsewhereGoesToTheBrowserAndAFormOrAScriptStaysInTheWindow) {
    TestApp app;
    ASSERT_TRUE(openPlayground(app));
    std::vector<std::string>& browser = app.workspace().openedURLs;
    ASSERT_TRUE(goesToTheBrowser(app, "link-elsewhere", "/elsewhere/link"));

    ASSERT_TRUE(app.loadsURL([&] { click(app, "post-elsewhere"); }, elsewhere("/elsewhere/form")));
    EXPECT_EQ(app.eval("document.getElementById('posted').textContent"), "posted from the playground");
    ASSERT_TRUE(app.load("/playground.html"));
    ASSERT_TRUE(app.loadsURL([&] { click(app, "script-elsewhere"); }, elsewhere("/elsewhere/script")));

    EXPECT_EQ(browser.size(), 1u);
    // Nor did the window load the link itself.
    EXPECT_FALSE(requested("/elsewhere/link"));
}

TEST(Navigation, AMailLinkGoesToTheSystem) {
    TestApp app;
    ASSERT_TRUE(openPlayground(app));
    std::vector<std::string>& system = app.workspace().openedURLs;
    click(app, "link-mail");
    ASSERT_TRUE(runUntil([&] { return !system.empty(); }));
    EXPECT_EQ(system, std::vector<std::string>{"mailto:help@pelko.example"});
    EXPECT_TRUE(stillOnThePlayground(app));
}

TEST(Navigation, ANewWindowOfTheServiceShowsInPlaceAndOneElsewhereGoesToTheBrowser) {
    TestApp app;
    ASSERT_TRUE(openPlayground(app));
    std::vector<std::string>& browser = app.workspace().openedURLs;
    ASSERT_TRUE(goesToTheBrowser(app, "open-elsewhere", "/elsewhere/window"));

    ASSERT_TRUE(app.loads([&] { click(app, "open-chat"); }, "/"));
    EXPECT_EQ(browser.size(), 1u);
    EXPECT_FALSE(requested("/elsewhere/window"));
}

TEST(Navigation, AFileInputGetsTheChooserForFilesAndThePageTheChosenOnes) {
    const std::string folder = temporaryHome() + "/to-upload";
    std::filesystem::create_directories(folder);
    for (const char* name : {"first.txt", "second.txt"}) std::ofstream(folder + "/" + name) << name;
    TestApp app;
    ASSERT_TRUE(openPlayground(app));
    test::FakeOpenPanels& panels = app.openPanels();
    const std::string chosen = "document.getElementById('file-names').textContent";

    panels.answer = {{folder + "/first.txt"}};
    click(app, "file-one");
    EXPECT_TRUE(app.waitFor(chosen, "first.txt"));
    panels.answer = {{folder + "/first.txt", folder + "/second.txt"}};
    click(app, "file-many");
    EXPECT_TRUE(app.waitFor(chosen, "first.txt, second.txt"));

    // What the chooser is asked for is the core's (unit tests); here, that the input's own flag reaches it.
    ASSERT_EQ(panels.requests.size(), 2u);
    EXPECT_FALSE(panels.requests[0].options.allowsMultipleSelection);
    EXPECT_TRUE(panels.requests[1].options.allowsMultipleSelection);
}

}  // namespace
}  // namespace pelko::e2e
