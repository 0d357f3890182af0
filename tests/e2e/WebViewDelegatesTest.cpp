// What the web view asks of its delegates, as plain values, and how their
// answers (early, late, twice or never) come back to WebKit.
#include <gtk/gtk.h>
#include <gtest/gtest.h>
#include <webkit/webkit.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "DemoService.h"
#include "TestApp.h"

namespace pelko::e2e {
namespace {

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

void after(std::chrono::milliseconds delay, std::function<void()> block) {
    auto* holder = new std::function<void()>(std::move(block));
    g_timeout_add_full(G_PRIORITY_DEFAULT, static_cast<guint>(delay.count()),
                       [](gpointer data) {
                           (*static_cast<std::function<void()>*>(data))();
                           return G_SOURCE_REMOVE;
                       },
                       holder, [](gpointer data) { delete static_cast<std::function<void()>*>(data); });
}

class WebViewDelegates : public ::testing::Test {
protected:
    void SetUp() override { app.launchAndWaitForHome(); }
    std::string url(const std::string& path) const { return World::get().origin() + path; }
    // Navigation actions for `path` recorded so far.
    std::vector<NavigationAction> actionsFor(const std::string& path) {
        std::vector<NavigationAction> out;
        for (const auto& action : app.delegate().navigationActions) {
            if (action.requestURL && action.requestURL->absoluteString == url(path)) out.push_back(action);
        }
        return out;
    }
    TestApp app;
};

struct NavigationCase {
    const char* name;
    const char* script;
    const char* path;
    NavigationType type;
};

TEST_F(WebViewDelegates, NavigationActionsArriveWithTheirUrlAndType) {
    ASSERT_TRUE(app.load("/cookie"));
    const NavigationCase cases[] = {
        {"link", "const a = document.createElement('a'); a.href = '/frames.html'; document.body.appendChild(a); a.click();",
         "/frames.html", NavigationType::linkActivated},
        {"form", "const f = document.createElement('form'); f.action = '/cookie'; f.method = 'get'; "
                 "document.body.appendChild(f); f.submit();",
         "/cookie?", NavigationType::formSubmitted},
        {"reload", "location.reload();", "/cookie?", NavigationType::reload},
        {"back", "history.back();", "/frames.html", NavigationType::backForward},
        {"script", "location.href = '/cookie#script';", "/cookie#script", NavigationType::other},
    };
    for (const auto& c : cases) {
        const auto before = actionsFor(c.path).size();
        app.evaluate(std::string(c.script) + " 0");
        ASSERT_TRUE(runUntil([&] { return actionsFor(c.path).size() > before; })) << c.name;
        const NavigationAction action = actionsFor(c.path).back();
        EXPECT_EQ(action.navigationType, c.type) << c.name;
        EXPECT_TRUE(action.hasTargetFrame) << c.name;
        EXPECT_FALSE(action.shouldPerformDownload) << c.name;
        runUntil([&] { return app.currentURL() == url(c.path); });
    }
}

TEST_F(WebViewDelegates, ALateAnswerIsHonoured) {
    app.delegate().onNavigationAction = [](const NavigationAction&, NavigationActionDecision decision) {
        after(300ms, [decision] { decision(NavigationActionPolicy::allow); });
    };
    ASSERT_TRUE(app.load("/cookie"));
    EXPECT_EQ(app.currentURL(), url("/cookie"));
}

std::size_t requestCount() { return World::get().demo().requests().size(); }

// Whether the service was asked for `path` since it had served `since` requests.
bool serviceSaw(const std::string& path, std::size_t since) {
    const auto requests = World::get().demo().requests();
    for (std::size_t i = since; i < requests.size(); ++i) {
        if (requests[i].path == path) return true;
    }
    return false;
}

TEST_F(WebViewDelegates, OnlyTheFirstAnswerCounts) {
    app.delegate().onNavigationAction = [](const NavigationAction& action, NavigationActionDecision decision) {
        const bool refused = action.requestURL && action.requestURL->path == "/frames.html";
        decision(refused ? NavigationActionPolicy::cancel : NavigationActionPolicy::allow);
        decision(NavigationActionPolicy::allow);  // ignored: already answered
    };
    const auto since = requestCount();
    webkit_web_view_load_uri(app.webView(), url("/frames.html").c_str());
    // A later load that completes shows the refused one is over.
    ASSERT_TRUE(app.load("/cookie"));
    EXPECT_FALSE(serviceSaw("/frames.html", since));
}

TEST_F(WebViewDelegates, ADecisionNeverAnsweredIgnoresTheNavigation) {
    NavigationActionDecision kept;
    app.delegate().onNavigationAction = [&kept](const NavigationAction& action, NavigationActionDecision decision) {
        if (action.requestURL && action.requestURL->path == "/frames.html") kept = std::move(decision);
        else decision(NavigationActionPolicy::allow);
    };
    const auto since = requestCount();
    webkit_web_view_load_uri(app.webView(), url("/frames.html").c_str());
    ASSERT_TRUE(runUntil([&] { return static_cast<bool>(kept); }));
    // The delegate lets go of the handler without answering.
    kept = nullptr;
    // Nothing is left hanging: the next navigation goes through, and the dropped one never happened.
    ASSERT_TRUE(app.load("/cookie"));
    EXPECT_FALSE(serviceSaw("/frames.html", since));
}

TEST_F(WebViewDelegates, AResponseTheViewCannotShowIsReportedSo) {
    ASSERT_TRUE(app.load("/api"));
    ASSERT_FALSE(app.delegate().navigationResponses.empty());
    EXPECT_TRUE(app.delegate().navigationResponses.back().canShowMIMEType);
    app.delegate().onNavigationResponse = [](const NavigationResponse&, NavigationResponseDecision decision) {
        decision(NavigationResponsePolicy::download);
    };
    app.delegate().onDecideDestination = [](const DownloadRef&, const std::string&,
                                            DownloadDestinationCompletion completion) { completion(std::nullopt); };
    const auto before = app.delegate().navigationResponses.size();
    webkit_web_view_load_uri(app.webView(), url("/files/Pelko-9.9.9.dmg").c_str());
    ASSERT_TRUE(runUntil([&] { return app.delegate().navigationResponses.size() > before; }));
    EXPECT_FALSE(app.delegate().navigationResponses.back().canShowMIMEType);
}

TEST_F(WebViewDelegates, ADownloadAnsweredLateGoesExactlyWhereTheDelegateSaid) {
    const std::string destination = temporaryHome() + "/Downloads/chosen-by-delegate.txt";
    app.delegate().onNavigationResponse = [](const NavigationResponse&, NavigationResponseDecision decision) {
        decision(NavigationResponsePolicy::download);
    };
    app.delegate().onDecideDestination = [destination](const DownloadRef&, const std::string&,
                                                       DownloadDestinationCompletion completion) {
        after(200ms, [completion, destination] { completion(destination); });
    };
    app.evaluate("document.getElementById('link-download').click(); 0");
    ASSERT_TRUE(runUntil([&] { return !app.delegate().finishedDownloads.empty(); }));

    const RecordingAppDelegate& d = app.delegate();
    ASSERT_EQ(d.becameDownloads.size(), 1u);
    ASSERT_TRUE(d.becameDownloads[0].originalRequestURL);
    EXPECT_EQ(d.becameDownloads[0].originalRequestURL->path, "/files/pelko-notes.txt");
    EXPECT_EQ(d.suggestedFilenames, std::vector<std::string>{"pelko-notes.txt"});
    EXPECT_EQ(d.finishedDownloads[0], d.becameDownloads[0]);
    EXPECT_TRUE(d.failedDownloads.empty());
    EXPECT_EQ(readFile(destination).rfind("Pelko demo notes", 0), 0u);
    // The page stays where it was.
    EXPECT_EQ(app.currentURL(), url("/"));
}

TEST_F(WebViewDelegates, AFailedDownloadIsReportedOnceAsAFailure) {
    // A destination that cannot be written: the folder does not exist.
    const std::string destination = temporaryHome() + "/no-such-folder/pelko-notes.txt";
    app.delegate().onNavigationResponse = [](const NavigationResponse&, NavigationResponseDecision decision) {
        decision(NavigationResponsePolicy::download);
    };
    app.delegate().onDecideDestination = [destination](const DownloadRef&, const std::string&,
                                                       DownloadDestinationCompletion completion) {
        completion(destination);
    };
    webkit_web_view_load_uri(app.webView(), url("/files/pelko-notes.txt").c_str());
    ASSERT_TRUE(runUntil([&] { return !app.delegate().failedDownloads.empty(); }));
    app.delegate().onNavigationResponse = nullptr;
    // Give a stray "finished" the chance to arrive: a page load is a full round trip later.
    ASSERT_TRUE(app.load("/cookie"));
    EXPECT_EQ(app.delegate().failedDownloads.size(), 1u);
    EXPECT_FALSE(app.delegate().failedDownloads[0].empty());
    EXPECT_TRUE(app.delegate().finishedDownloads.empty());
}

TEST_F(WebViewDelegates, ADeclinedOrForgottenDestinationCancelsTheDownloadSilently) {
    app.delegate().onNavigationResponse = [](const NavigationResponse&, NavigationResponseDecision decision) {
        decision(NavigationResponsePolicy::download);
    };
    int asked = 0;
    app.delegate().onDecideDestination = [&asked](const DownloadRef&, const std::string&,
                                                  DownloadDestinationCompletion completion) {
        // The first is declined, the second dropped unanswered.
        if (++asked == 1) completion(std::nullopt);
    };
    for (int i = 0; i < 2; ++i) {
        webkit_web_view_load_uri(app.webView(), url("/files/attachment").c_str());
        ASSERT_TRUE(runUntil([&] { return asked == i + 1; }));
    }
    app.delegate().onNavigationResponse = nullptr;
    ASSERT_TRUE(app.load("/cookie"));
    EXPECT_TRUE(app.delegate().failedDownloads.empty());
    EXPECT_TRUE(app.delegate().finishedDownloads.empty());
    // Nothing of the attachment was written anywhere.
    for (const auto& entry : std::filesystem::recursive_directory_iterator(temporaryHome())) {
        EXPECT_EQ(entry.path().filename().string().find("bashrc"), std::string::npos) << entry.path();
    }
}

TEST_F(WebViewDelegates, NewWindowRequestsNeverMakeASecondWindow) {
    const std::vector<std::pair<std::string, std::string>> cases{
        {"window.open('/cookie');", "/cookie"},
        {"const a = document.createElement('a'); a.href = '/frames.html'; a.target = '_blank'; "
         "document.body.appendChild(a); a.click();",
         "/frames.html"},
    };
    for (const auto& [script, path] : cases) {
        const auto before = app.delegate().popupRequests.size();
        app.evaluate(script + " 0");
        ASSERT_TRUE(runUntil([&] { return app.delegate().popupRequests.size() > before; })) << script;
        const NavigationAction& popup = app.delegate().popupRequests.back();
        ASSERT_TRUE(popup.requestURL);
        EXPECT_EQ(popup.requestURL->absoluteString, url(path));
        EXPECT_FALSE(popup.hasTargetFrame);
    }
    EXPECT_EQ(g_list_length(gtk_application_get_windows(World::get().application())), 1u);
}

TEST_F(WebViewDelegates, TheFileChooserGetsWhatTheDelegateChoseOrNothing) {
    const std::string first = temporaryHome() + "/first.txt";
    const std::string second = temporaryHome() + "/second.txt";
    std::ofstream(first) << "one";
    std::ofstream(second) << "two";
    app.evaluate(R"(
        for (const multiple of [true, false]) {
            const input = document.createElement('input');
            input.type = 'file';
            input.multiple = multiple;
            input.id = multiple ? 'many' : 'one';
            document.body.appendChild(input);
        }
        0)");

    std::optional<std::vector<std::string>> answer = std::vector<std::string>{first, second};
    app.delegate().onOpenPanel = [&answer](const OpenPanelParameters&, OpenPanelCompletion completion) {
        after(100ms, [completion, answer] { completion(answer); });
    };
    app.evaluate("document.getElementById('many').click(); 0");
    EXPECT_TRUE(app.waitForValue("Array.from(document.getElementById('many').files).map(f => f.name)",
                                 nlohmann::json({"first.txt", "second.txt"})));
    ASSERT_EQ(app.delegate().openPanels.size(), 1u);
    EXPECT_TRUE(app.delegate().openPanels[0].allowsMultipleSelection);

    answer = std::nullopt;  // cancelled
    app.evaluate("const one = document.getElementById('one'); one.oncancel = () => window.__cancelled = 1; one.click(); 0");
    EXPECT_TRUE(app.waitForValue("window.__cancelled || 0", 1));
    ASSERT_EQ(app.delegate().openPanels.size(), 2u);
    EXPECT_FALSE(app.delegate().openPanels[1].allowsMultipleSelection);
    EXPECT_EQ(app.evaluate("document.getElementById('one').files.length").value, nlohmann::json(0));

    // A delegate that drops the request without answering cancels it too.
    app.delegate().onOpenPanel = [](const OpenPanelParameters&, OpenPanelCompletion) {};
    app.evaluate("window.__cancelled = 0; document.getElementById('one').click(); 0");
    EXPECT_TRUE(app.waitForValue("window.__cancelled || 0", 1));
}

}  // namespace
}  // namespace pelko::e2e
