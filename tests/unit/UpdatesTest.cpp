#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "fakes/FakePlatform.h"
#include "update/VersionComparison.h"

namespace pelko::test {
namespace {

struct VersionCase {
    const char* candidate;
    const char* than;
    bool newer;
};

class Versions : public ::testing::TestWithParam<VersionCase> {};

TEST_P(Versions, CompareNumericallyPieceByPiece) {
    const auto& c = GetParam();
    EXPECT_EQ(isNewer(c.candidate, c.than), c.newer) << '"' << c.candidate << "\" against \"" << c.than << '"';
}

INSTANTIATE_TEST_SUITE_P(
    Table, Versions,
    ::testing::Values(VersionCase{"1.2", "1.2.0", false}, VersionCase{"1.2.0", "1.2", false},
                      VersionCase{"1.10", "1.9", true}, VersionCase{"1.9", "1.10", false},
                      VersionCase{"1.2.3", "1.2.3", false}, VersionCase{"2", "1.99.99", true},
                      VersionCase{"v1.2", "1.1", false}, VersionCase{"1.1", "v1.2", true},
                      VersionCase{"1.2-beta", "1.2", false}, VersionCase{"1.2", "1.2-beta", true},
                      VersionCase{"1..2", "1.0.2", true}, VersionCase{".5", "4.9", true},
                      VersionCase{"", "0", false}, VersionCase{"", "1", false}, VersionCase{"1", "", true},
                      VersionCase{"", "", false}, VersionCase{"...", "", false}, VersionCase{" 1.2", "1.1", false},
                      VersionCase{"+2.0", "1.9", true}, VersionCase{"1.-1", "1", false},
                      VersionCase{"1", "1.-1", true}, VersionCase{"+", "-1", true},
                      VersionCase{"99999999999999999999", "1", false},
                      VersionCase{"9223372036854775807", "9223372036854775806", true},
                      VersionCase{"9223372036854775808", "1", false},
                      VersionCase{"-9223372036854775807", "-9223372036854775808", true},
                      VersionCase{"-9223372036854775809", "-1", true}, VersionCase{"0.0.1", "0", true},
                      // A full stop is a separator only as a whole character: not with a combining mark,
                      // a zero-width joiner or a spacing mark after it, nor a prepended character before it.
                      VersionCase{"5.\u0301", "4", false}, VersionCase{"5.\u200D", "4", false},
                      VersionCase{"5.\u0903", "4", false}, VersionCase{"0\u0600.9", "0.5", false},
                      VersionCase{"5.\u0301.6", "5.0.5", false}, VersionCase{"1\u0301.5", "0.4", true}));

constexpr const char* kNewer = R"({"version": "1.5.0", "url": "https://pelko.test/files/Pelko-1.5.0.dmg"})";

// What the user sees after one check, given the manifest's answer. The running version is 1.4.2.
struct CheckCase {
    const char* name;
    std::optional<std::string> body;
    int status;
    std::string silentShows;  // the alert title, or "" for nothing
    std::string manualShows;
    std::string manualMessage;
    std::optional<UrlError> error = std::nullopt;
};

class Checks : public ::testing::TestWithParam<CheckCase> {};

std::vector<std::string> titles(const FakeAlerts& alerts) {
    std::vector<std::string> out;
    for (const auto& alert : alerts.shown) out.push_back(alert.title);
    return out;
}

std::vector<std::string> runCheck(const CheckCase& c, bool manual, std::vector<std::string>* messages = nullptr) {
    TestApp t;
    t.launch();  // the silent check asks at launch; the manual one answers the second request
    t.platform.alerts.answers = {kAlertFirstButtonReturn + 1};  // "Later"
    if (manual) t.app->checkForUpdateManual();
    EXPECT_EQ(t.platform.urlSession.requests.size(), manual ? 2u : 1u);
    auto& request = t.platform.urlSession.requests.back();
    EXPECT_EQ(request.url.absoluteString, std::string(kTestOrigin) + "/desktop-latest.json");
    request.completion(c.body, UrlResponse{c.status}, c.error);
    t.platform.mainQueue.runUntilIdle();
    if (messages) {
        for (const auto& alert : t.platform.alerts.shown) messages->push_back(alert.message);
    }
    return titles(t.platform.alerts);
}

TEST_P(Checks, SayWhatTheManifestSays) {
    const auto& c = GetParam();
    const auto expected = [](const std::string& title) {
        return title.empty() ? std::vector<std::string>{} : std::vector<std::string>{title};
    };
    EXPECT_EQ(runCheck(c, false), expected(c.silentShows)) << "silent";
    std::vector<std::string> messages;
    EXPECT_EQ(runCheck(c, true, &messages), expected(c.manualShows)) << "manual";
    if (!c.manualMessage.empty()) {
        EXPECT_EQ(messages, std::vector<std::string>{c.manualMessage});
    }
}

INSTANTIATE_TEST_SUITE_P(
    Answers, Checks,
    ::testing::Values(
        CheckCase{"noData", std::nullopt, 0, "", "Couldn't Check for Updates", "The update server could not be reached."},
        CheckCase{"unreachable", std::nullopt, 0, "", "Couldn't Check for Updates",
                  "The update server could not be reached. (Could not connect: Connection refused)",
                  UrlError{UrlError::Kind::platform, "Could not connect: Connection refused"}},
        CheckCase{"tooLarge", std::nullopt, 200, "", "Couldn't Check for Updates",
                  "The update server could not be reached. (The answer is larger than the application accepts.)",
                  UrlError{UrlError::Kind::tooLarge, {}}},
        CheckCase{"notJson", "<html>Oops</html>", 200, "", "Couldn't Check for Updates",
                  "The update server's answer was not an update description."},
        CheckCase{"anArray", "[1, 2]", 200, "", "Couldn't Check for Updates", ""},
        CheckCase{"emptyObject", "{}", 200, "", "Couldn't Check for Updates",
                  "The update description names no version or no download address."},
        CheckCase{"numberVersion", R"({"version": 2, "url": "https://pelko.test/a.dmg"})", 200, "",
                  "Couldn't Check for Updates", ""},
        CheckCase{"noUrl", R"({"version": "2"})", 200, "", "Couldn't Check for Updates", ""},
        CheckCase{"equalWithZeros", R"({"version": "1.4.2.0", "url": "https://pelko.test/a.dmg"})", 200, "",
                  "You're up to date", "Pelko 1.4.2 is the latest version."},
        CheckCase{"older", R"({"version": "1.3.9", "url": "https://pelko.test/a.dmg"})", 200, "",
                  "You're up to date", ""},
        CheckCase{"newerUnderAnErrorStatus", kNewer, 500, "Update Available", "Update Available",
                  "Pelko 1.5.0 is available (you have 1.4.2). Download the new version?"}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(UpdatePrompt, DownloadLoadsTheAddressAndLaterOrABadAddressDoNothing) {
    TestApp t;
    t.launch();
    const std::size_t homeLoads = t.webView().loads.size();
    const auto answerNewer = [&](const std::string& body) {
        t.app->checkForUpdateManual();
        t.platform.urlSession.requests.back().completion(body, UrlResponse{200}, std::nullopt);
        t.platform.mainQueue.runUntilIdle();
    };
    t.platform.alerts.answers = {kAlertFirstButtonReturn + 1, kAlertFirstButtonReturn, kAlertFirstButtonReturn};
    answerNewer(kNewer);                                               // Later
    answerNewer(R"({"version": "9", "url": "not an address"})");      // Download, but no URL
    answerNewer(kNewer);                                               // Download
    ASSERT_EQ(t.platform.alerts.shown.size(), 3u);
    EXPECT_EQ(t.platform.alerts.shown[0].buttons, (std::vector<std::string>{"Download", "Later"}));
    EXPECT_EQ(t.platform.alerts.shown[0].cancelButton, 1u);
    ASSERT_EQ(t.webView().loads.size(), homeLoads + 1);
    EXPECT_EQ(t.webView().loads.back().url.absoluteString, "https://pelko.test/files/Pelko-1.5.0.dmg");
    EXPECT_EQ(t.webView().loads.back().timeout, std::chrono::seconds(60));
}

TEST(UpdateChecks, EachManualCheckAnswersAndNoneOutlivesTheController) {
    auto t = std::make_unique<TestApp>();
    t->launch();  // the silent check, still unanswered
    t->app->checkForUpdateManual();
    t->app->checkForUpdateManual();
    auto& requests = t->platform.urlSession.requests;
    ASSERT_EQ(requests.size(), 3u);
    requests[2].completion(std::nullopt, std::nullopt, UrlError{UrlError::Kind::platform, "offline"});
    requests[1].completion(std::nullopt, std::nullopt, UrlError{UrlError::Kind::platform, "offline"});
    t->platform.mainQueue.runUntilIdle();
    EXPECT_EQ(t->platform.alerts.shown.size(), 2u);

    t->app->checkForUpdateManual();
    auto late = std::move(requests);
    FakeAlerts& alerts = t->platform.alerts;
    const std::size_t shown = alerts.shown.size();
    t->app.reset();  // the controller goes before the answers come
    for (auto& request : late) {
        if (request.completion) request.completion(kNewer, UrlResponse{200}, std::nullopt);
    }
    t->platform.mainQueue.runUntilIdle();
    EXPECT_EQ(alerts.shown.size(), shown);
}

}  // namespace
}  // namespace pelko::test
