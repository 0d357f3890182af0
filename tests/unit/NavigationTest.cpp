#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "fakes/FakePlatform.h"
#include "web/NavigationPolicy.h"
#include "web/PageTitle.h"

namespace pelko {
namespace {

const InAppHosts kHosts{"pelko.test", {"google.com", "github.com", "githubusercontent.com", "apple.com"}};
const std::set<std::string> kDownloadExtensions{"pkg", "dmg", "zip", "exe", "msi"};

Url url(const std::string& scheme, const std::string& host, const std::string& path = "/") {
    return Url{scheme + "://" + host + path, scheme, host, std::nullopt, path};
}

// A URL as the platform reports one without a host: "mailto:a@b.example".
Url hostless(const std::string& text) {
    const auto colon = text.find(':');
    return Url{text, text.substr(0, colon), "", std::nullopt, text.substr(colon + 1)};
}

constexpr auto kLink = NavigationType::linkActivated;

struct ActionCase {
    const char* name;
    std::optional<Url> target;
    NavigationType type;
    bool downloadAttribute;
    NavigationVerdict expected;
};

class ActionPolicy : public ::testing::TestWithParam<ActionCase> {};

TEST_P(ActionPolicy, DecidesWhereANavigationGoes) {
    const auto& c = GetParam();
    const NavigationAction action{c.target, c.type, c.downloadAttribute, true};
    EXPECT_EQ(navigationActionVerdict(action, kDownloadExtensions, kHosts), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Actions, ActionPolicy,
    ::testing::Values(
        ActionCase{"downloadAttribute", url("https", "pelko.test", "/page"), kLink, true, NavigationVerdict::download},
        ActionCase{"capitalExtensionAnyHost", url("https", "example.com", "/Setup.DMG"), NavigationType::other, false,
                   NavigationVerdict::download},
        ActionCase{"onlyTheLastExtension", url("https", "example.com", "/a.zip.tar.gz"), kLink, false,
                   NavigationVerdict::openInBrowser},
        ActionCase{"aHiddenNameHasNoExtension", url("https", "example.com", "/files/.zip"), kLink, false,
                   NavigationVerdict::openInBrowser},
        ActionCase{"serviceLink", url("https", "pelko.test", "/chat"), kLink, false, NavigationVerdict::allow},
        ActionCase{"deepSubdomain", url("https", "a.b.pelko.test"), kLink, false, NavigationVerdict::allow},
        ActionCase{"apexTextWithoutDot", url("https", "notpelko.test"), kLink, false,
                   NavigationVerdict::openInBrowser},
        ActionCase{"providerItself", url("https", "github.com"), kLink, false, NavigationVerdict::allow},
        ActionCase{"providerSubdomain", url("https", "raw.githubusercontent.com"), kLink, false,
                   NavigationVerdict::allow},
        ActionCase{"providerAsPrefix", url("https", "github.com.evil.example"), kLink, false,
                   NavigationVerdict::openInBrowser},
        ActionCase{"providerAsSuffixOfName", url("https", "notgithub.com"), kLink, false,
                   NavigationVerdict::openInBrowser},
        ActionCase{"capitalisedHost", url("https", "PELKO.TEST"), kLink, false, NavigationVerdict::openInBrowser},
        ActionCase{"formToOutside", url("https", "example.com"), NavigationType::formSubmitted, false,
                   NavigationVerdict::allow},
        ActionCase{"scriptToOutside", url("https", "example.com"), NavigationType::other, false,
                   NavigationVerdict::allow},
        // Without a host: what the web view cannot show goes to the system, as in a browser.
        ActionCase{"mailLinkGoesToTheSystem", hostless("mailto:a@b.example"), kLink, false,
                   NavigationVerdict::openInBrowser},
        ActionCase{"phoneLinkGoesToTheSystem", hostless("tel:+15550100"), kLink, false,
                   NavigationVerdict::openInBrowser},
        ActionCase{"otherAppsLinkGoesToTheSystem", hostless("zoommtg:join?confno=1"), kLink, false,
                   NavigationVerdict::openInBrowser},
        ActionCase{"dataLinkStays", hostless("data:text/plain,hi"), kLink, false, NavigationVerdict::allow},
        ActionCase{"blobLinkStays", hostless("blob:https://pelko.test/5f0c"), kLink, false, NavigationVerdict::allow},
        ActionCase{"aboutLinkStays", hostless("ABOUT:blank"), kLink, false, NavigationVerdict::allow},
        ActionCase{"localFileNotHandedOn", hostless("file:///etc/passwd"), kLink, false, NavigationVerdict::cancel},
        ActionCase{"mailByScriptStays", hostless("mailto:a@b.example"), NavigationType::other, false,
                   NavigationVerdict::allow},
        ActionCase{"noURL", std::nullopt, kLink, false, NavigationVerdict::allow},
        ActionCase{"fileShareNotHandedOn", url("smb", "server.example", "/share"), kLink, false,
                   NavigationVerdict::cancel},
        ActionCase{"ftpNotHandedOn", url("FTP", "files.example"), kLink, false, NavigationVerdict::cancel}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(KeepInApp, AnEmptyEntryMatchesNothing) {
    EXPECT_FALSE(keepInApp("example.com", InAppHosts{"pelko.test", {""}}));
}

struct WindowCase {
    const char* name;
    std::optional<Url> target;
    bool hasTargetFrame;
    NewWindowVerdict expected;
};

class NewWindows : public ::testing::TestWithParam<WindowCase> {};

TEST_P(NewWindows, NeverOpenASecondWebView) {
    const auto& c = GetParam();
    EXPECT_EQ(newWindowVerdict(NavigationAction{c.target, NavigationType::other, false, c.hasTargetFrame}, kHosts),
              c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Requests, NewWindows,
    ::testing::Values(WindowCase{"targetFrame", url("https", "example.com"), true, NewWindowVerdict::ignore},
                      WindowCase{"outside", url("https", "example.com"), false, NewWindowVerdict::openInBrowser},
                      WindowCase{"inApp", url("https", "pelko.test", "/x"), false, NewWindowVerdict::loadInWebView},
                      WindowCase{"noURL", std::nullopt, false, NewWindowVerdict::loadInWebView},
                      WindowCase{"blankPage", hostless("about:blank"), false, NewWindowVerdict::loadInWebView},
                      WindowCase{"mailLink", hostless("mailto:a@b.example"), false, NewWindowVerdict::openInBrowser},
                      WindowCase{"fileShareNoHost", hostless("smb:share"), false, NewWindowVerdict::cancel},
                      WindowCase{"localFile", url("file", "server.example"), false, NewWindowVerdict::cancel}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(WindowTitle, NamesTheHostOutsideTheService) {
    EXPECT_EQ(windowTitleForPage(url("https", "chat.pelko.test"), kHosts.apexDomain), "Pelko");
    EXPECT_EQ(windowTitleForPage(url("https", "github.com"), kHosts.apexDomain), "Pelko \u2014 github.com");
    EXPECT_EQ(windowTitleForPage(Url{"about:blank", "about", "", std::nullopt, "blank"}, kHosts.apexDomain), "Pelko");
    EXPECT_EQ(windowTitleForPage(std::nullopt, kHosts.apexDomain), "Pelko");
}

}  // namespace
}  // namespace pelko

namespace pelko::test {
namespace {

// The controller carries the verdicts out.
TEST(WebViewRoles, CarryOutTheVerdicts) {
    TestApp t;
    t.launch();
    const Url outside = url("https", "example.com", "/a");
    std::vector<NavigationActionPolicy> answers;
    t.app->decidePolicyForNavigationAction(NavigationAction{outside, kLink, false, true},
                                           NavigationActionDecision([&](auto policy) { answers.push_back(policy); }));
    t.app->decidePolicyForNavigationAction(NavigationAction{url("smb", "nas.example"), kLink, false, true},
                                           NavigationActionDecision([&](auto policy) { answers.push_back(policy); }));
    t.app->decidePolicyForNavigationAction(NavigationAction{url("https", "x.example", "/a.msi"), kLink, false, true},
                                           NavigationActionDecision([&](auto policy) { answers.push_back(policy); }));
    EXPECT_EQ(answers, (std::vector{NavigationActionPolicy::cancel, NavigationActionPolicy::cancel,
                                    NavigationActionPolicy::download}));

    t.app->createWebViewForNavigationAction(NavigationAction{outside, NavigationType::other, false, false});
    EXPECT_EQ(t.platform.workspace.openedURLs, (std::vector<std::string>{outside.absoluteString, outside.absoluteString}));

    const Url inApp = url("https", "pelko.test", "/new");
    t.app->createWebViewForNavigationAction(NavigationAction{inApp, NavigationType::other, false, false});
    t.app->createWebViewForNavigationAction(NavigationAction{std::nullopt, NavigationType::other, false, false});
    EXPECT_EQ(t.webView().loads.back().url, inApp);
    EXPECT_EQ(t.webView().loads.size(), 2u);  // the home page and the new window's

    t.webView().currentURL = url("https", "github.com");
    t.app->didFinishNavigation();
    EXPECT_EQ(t.window().title(), "Pelko \u2014 github.com");
}

TEST(WebViewRoles, AFileInputGetsAChooserOnTheWindow) {
    TestApp t;
    t.launch();
    t.platform.openPanels.answer = std::vector<std::string>{"/home/user/a.txt"};
    std::optional<std::vector<std::string>> chosen;
    t.app->runOpenPanel(OpenPanelParameters{true}, OpenPanelCompletion([&](const auto& files) { chosen = files; }));
    ASSERT_EQ(t.platform.openPanels.requests.size(), 1u);
    const auto& request = t.platform.openPanels.requests[0];
    EXPECT_EQ(request.window, &t.window());
    EXPECT_TRUE(request.options.allowsMultipleSelection);
    EXPECT_EQ(chosen, t.platform.openPanels.answer);
}

}  // namespace
}  // namespace pelko::test
