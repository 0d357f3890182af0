#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "fakes/FakePlatform.h"
#include "web/LoadFailure.h"
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

constexpr auto kOffline = false;
constexpr auto kOnline = true;

struct FailureCase {
    const char* name;
    const char* domain;
    long code;
    std::optional<Url> failing;
    bool network;
    std::optional<UnreachableReason> shows;
};

void PrintTo(const FailureCase& c, std::ostream* os) { *os << c.name; }

class LoadFailures : public ::testing::TestWithParam<FailureCase> {};

TEST_P(LoadFailures, ShowTheAppsPageOnlyForAnInAppPageTheConnectionFailed) {
    const auto& c = GetParam();
    EXPECT_EQ(unreachableReason(NavigationError{c.domain, c.code, c.failing}, kHosts, c.network), c.shows);
}

const Url kHome = url("https", "pelko.test");
using enum UnreachableReason;

INSTANTIATE_TEST_SUITE_P(
    Failures, LoadFailures,
    ::testing::Values(
        // macOS
        FailureCase{"macCancelled", "NSURLErrorDomain", -999, kHome, kOnline, std::nullopt},
        FailureCase{"macNotConnected", "NSURLErrorDomain", -1009, kHome, kOnline, noConnection},
        FailureCase{"macDataNotAllowed", "NSURLErrorDomain", -1020, kHome, kOnline, noConnection},
        FailureCase{"macCannotConnect", "NSURLErrorDomain", -1004, kHome, kOnline, noAnswer},
        FailureCase{"macTimedOut", "NSURLErrorDomain", -1001, kHome, kOnline, noAnswer},
        FailureCase{"macBadServerResponse", "NSURLErrorDomain", -1011, kHome, kOnline, noAnswer},
        FailureCase{"macHostNotFoundOffline", "NSURLErrorDomain", -1003, kHome, kOffline, noConnection},
        FailureCase{"macUntrustedCertificate", "NSURLErrorDomain", -1202, kHome, kOnline, noSecureConnection},
        FailureCase{"macSecureConnectionFailedOffline", "NSURLErrorDomain", -1200, kHome, kOffline, noSecureConnection},
        FailureCase{"macBadURL", "NSURLErrorDomain", -1000, kHome, kOnline, std::nullopt},
        FailureCase{"macBecameADownload", "WebKitErrorDomain", 102, kHome, kOnline, std::nullopt},
        FailureCase{"macCannotShowURL", "WebKitErrorDomain", 101, kHome, kOnline, std::nullopt},
        FailureCase{"macCFNetworkTimedOut", "kCFErrorDomainCFNetwork", -1001, kHome, kOnline, noAnswer},
        // Linux
        FailureCase{"linuxRefused", "g-io-error-quark", 39, kHome, kOnline, noAnswer},
        FailureCase{"linuxRefusedOffline", "g-io-error-quark", 39, kHome, kOffline, noConnection},
        FailureCase{"linuxNetworkUnreachable", "g-io-error-quark", 38, kHome, kOnline, noConnection},
        FailureCase{"linuxIoCancelled", "g-io-error-quark", 19, kHome, kOnline, std::nullopt},
        FailureCase{"linuxCancelled", "WebKitNetworkError", 302, kHome, kOnline, std::nullopt},
        FailureCase{"linuxTransport", "WebKitNetworkError", 300, kHome, kOnline, noAnswer},
        FailureCase{"linuxNoSuchFile", "WebKitNetworkError", 303, kHome, kOnline, std::nullopt},
        FailureCase{"linuxBecameADownload", "WebKitPolicyError", 102, kHome, kOnline, std::nullopt},
        FailureCase{"linuxNameNotFound", "g-resolver-error-quark", 0, kHome, kOnline, noAnswer},
        FailureCase{"linuxBadCertificate", "g-tls-error-quark", 2, kHome, kOnline, noSecureConnection},
        FailureCase{"linuxTooManyRedirects", "soup-session-error-quark", 2, kHome, kOnline, noAnswer},
        FailureCase{"unknownDomain", "org.example.Error", 1, kHome, kOnline, std::nullopt},
        // Which pages
        FailureCase{"subdomain", "g-io-error-quark", 39, url("https", "chat.pelko.test", "/c/1"), kOnline, noAnswer},
        FailureCase{"provider", "g-io-error-quark", 39, url("https", "github.com"), kOnline, noAnswer},
        FailureCase{"outside", "g-io-error-quark", 39, url("https", "example.com"), kOnline, std::nullopt},
        FailureCase{"noHost", "g-io-error-quark", 39, Url{"about:blank", "about", "", std::nullopt, "blank"}, kOnline,
                    std::nullopt},
        FailureCase{"noURL", "g-io-error-quark", 39, std::nullopt, kOnline, std::nullopt}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(LoadFailures, TryAgainSoonThenNeverMoreThanOnceAMinute) {
    std::vector<long long> seconds;
    for (int attempt = -1; attempt <= 7; ++attempt) seconds.push_back(retryDelay(attempt).count() / 1000);
    EXPECT_EQ(seconds, (std::vector<long long>{2, 2, 5, 10, 30, 60, 60, 60, 60}));
}

TEST(LoadFailures, ThePageNamesWhatFailedAndCarriesTheAddressOnlyAsText) {
    const Url hostile{"https://pelko.test/?q=\"><script>alert(1)</script>'", "https", "pelko.test", std::nullopt, "/"};
    const std::string html = unreachablePageHTML(noAnswer, hostile, kHosts.apexDomain);
    EXPECT_NE(html.find("Pelko isn\u2019t answering"), std::string::npos);
    EXPECT_NE(html.find("Try Again"), std::string::npos);
    EXPECT_NE(html.find("data-url=\"https://pelko.test/?q=&quot;&gt;&lt;script&gt;alert(1)&lt;/script&gt;&#39;\""),
              std::string::npos);
    EXPECT_EQ(html.find("<script>alert"), std::string::npos);
    EXPECT_EQ(retryScript(hostile), "location.replace('https://pelko.test/?q=\"><script>alert(1)</script>\\'')");
    EXPECT_NE(unreachablePageHTML(noAnswer, url("https", "github.com"), kHosts.apexDomain).find("github.com isn"),
              std::string::npos);
    EXPECT_NE(unreachablePageHTML(noConnection, kHome, kHosts.apexDomain).find("You\u2019re offline"),
              std::string::npos);
    EXPECT_NE(unreachablePageHTML(noSecureConnection, kHome, kHosts.apexDomain).find("secure connection to pelko.test"),
              std::string::npos);
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
    t.navigation().decidePolicyForNavigationAction(NavigationAction{outside, kLink, false, true},
                                           NavigationActionDecision([&](auto policy) { answers.push_back(policy); }));
    t.navigation().decidePolicyForNavigationAction(NavigationAction{url("smb", "nas.example"), kLink, false, true},
                                           NavigationActionDecision([&](auto policy) { answers.push_back(policy); }));
    t.navigation().decidePolicyForNavigationAction(NavigationAction{url("https", "x.example", "/a.msi"), kLink, false, true},
                                           NavigationActionDecision([&](auto policy) { answers.push_back(policy); }));
    EXPECT_EQ(answers, (std::vector{NavigationActionPolicy::cancel, NavigationActionPolicy::cancel,
                                    NavigationActionPolicy::download}));

    t.ui().createWebViewForNavigationAction(NavigationAction{outside, NavigationType::other, false, false});
    EXPECT_EQ(t.platform.workspace.openedURLs, (std::vector<std::string>{outside.absoluteString, outside.absoluteString}));

    const Url inApp = url("https", "pelko.test", "/new");
    t.ui().createWebViewForNavigationAction(NavigationAction{inApp, NavigationType::other, false, false});
    t.ui().createWebViewForNavigationAction(NavigationAction{std::nullopt, NavigationType::other, false, false});
    EXPECT_EQ(t.webView().loads.back().url, inApp);
    EXPECT_EQ(t.webView().loads.size(), 2u);  // the home page and the new window's

    t.webView().currentURL = url("https", "github.com");
    t.navigation().didFinishNavigation();
    EXPECT_EQ(t.window().title(), "Pelko \u2014 github.com");
}

TEST(WebViewRoles, AFileInputGetsAChooserOnTheWindow) {
    TestApp t;
    t.launch();
    t.platform.openPanels.answer = std::vector<std::string>{"/home/user/a.txt"};
    std::optional<std::vector<std::string>> chosen;
    t.ui().runOpenPanel(OpenPanelParameters{true}, OpenPanelCompletion([&](const auto& files) { chosen = files; }));
    ASSERT_EQ(t.platform.openPanels.requests.size(), 1u);
    const auto& request = t.platform.openPanels.requests[0];
    EXPECT_EQ(request.window, &t.window());
    EXPECT_TRUE(request.options.allowsMultipleSelection);
    EXPECT_EQ(chosen, t.platform.openPanels.answer);
}

// Advances a second at a time until the page is tried again; the seconds it took, or 0 after `limit`.
long long secondsUntilRetry(TestApp& t, long long limit = 600) {
    const auto before = t.webView().evaluations.size();
    for (long long second = 1; second <= limit; ++second) {
        t.platform.mainQueue.advance(std::chrono::seconds(1));
        if (t.webView().evaluations.size() > before) return second;
    }
    return 0;
}

const NavigationError kRefused{"g-io-error-quark", 39, url("https", "pelko.test")};

TEST(UnreachablePage, ShowsInPlaceOfTheServiceAndTriesAgainWithGrowingPausesUntilItLoads) {
    TestApp t;
    t.launch();
    t.webView().currentURL = url("https", "github.com");
    t.navigation().didFinishNavigation();
    EXPECT_TRUE(t.navigation().didFailNavigation(kRefused));
    ASSERT_EQ(t.webView().alternates.size(), 1u);
    EXPECT_EQ(t.webView().alternates[0].unreachableURL, *kRefused.failingURL);
    EXPECT_NE(t.webView().alternates[0].html.find("Pelko isn\u2019t answering"), std::string::npos);
    EXPECT_EQ(t.window().title(), "Pelko");  // as for the service's own page

    std::vector<long long> pauses;
    for (int i = 0; i < 6; ++i) {
        pauses.push_back(secondsUntilRetry(t));
        EXPECT_EQ(t.webView().evaluations.back().script, "location.replace('https://pelko.test/')");
        EXPECT_TRUE(t.navigation().didFailNavigation(kRefused));
    }
    EXPECT_EQ(pauses, (std::vector<long long>{2, 5, 10, 30, 60, 60}));
    EXPECT_EQ(t.webView().alternates.size(), 1u);  // the same failure leaves the page as it is

    t.webView().currentURL = url("https", "pelko.test");
    t.navigation().didFinishNavigation();
    EXPECT_EQ(secondsUntilRetry(t), 0);
    t.app->reloadPage();
    EXPECT_EQ(t.webView().reloads, 1);  // a page of the service again
}

TEST(UnreachablePage, WaitsOfflineOrOutOfSightAndTriesAtOnceWhenTheNetworkOrTheWindowIsBack) {
    TestApp t;
    t.launch();
    t.platform.networkMonitor.set(false);
    EXPECT_TRUE(t.navigation().didFailNavigation(kRefused));
    EXPECT_NE(t.webView().alternates.back().html.find("You\u2019re offline"), std::string::npos);
    EXPECT_EQ(secondsUntilRetry(t), 0);
    t.platform.networkMonitor.set(true);
    EXPECT_EQ(t.webView().evaluations.size(), 1u);
    t.platform.networkMonitor.set(true);  // reported again, as a change of interface does: not a return
    EXPECT_EQ(t.webView().evaluations.size(), 1u);
    // A retry that fails another way shows that instead, and the pauses start short again.
    EXPECT_TRUE(t.navigation().didFailNavigation(kRefused));
    EXPECT_EQ(t.webView().alternates.size(), 2u);
    EXPECT_NE(t.webView().alternates.back().html.find("isn\u2019t answering"), std::string::npos);

    t.app->windowShouldClose();
    EXPECT_EQ(secondsUntilRetry(t), 0);
    t.app->applicationShouldHandleReopen(false);
    EXPECT_EQ(t.webView().evaluations.size(), 2u);

    // The user's own Reload tries the page, not the app's page.
    t.app->reloadPage();
    EXPECT_EQ(t.webView().evaluations.size(), 3u);
    EXPECT_EQ(t.webView().reloads, 0);
}

TEST(UnreachablePage, StoppedLoadsAndOtherSitesShowNothingAndALoadUnderWayIsLeftToFinish) {
    TestApp t;
    t.launch();
    EXPECT_FALSE(t.navigation().didFailNavigation({"WebKitNetworkError", 302, url("https", "pelko.test")}));
    EXPECT_FALSE(t.navigation().didFailNavigation({"g-io-error-quark", 39, url("https", "example.com")}));
    EXPECT_TRUE(t.webView().alternates.empty());

    EXPECT_TRUE(t.navigation().didFailNavigation(kRefused));
    t.webView().loading = true;
    EXPECT_EQ(secondsUntilRetry(t, 30), 0);
    t.webView().loading = false;
    EXPECT_NE(secondsUntilRetry(t), 0);
    // The retry's load was stopped: the page keeps trying.
    EXPECT_FALSE(t.navigation().didFailNavigation({"WebKitNetworkError", 302, url("https", "pelko.test")}));
    EXPECT_NE(secondsUntilRetry(t), 0);
}

}  // namespace
}  // namespace pelko::test
