#include <gtest/gtest.h>

#include <functional>

#include "platform/WebViewDelegates.h"

using namespace pelko;

namespace {

using Answers = std::vector<NavigationActionPolicy>;
using Use = std::function<void(NavigationActionDecision&)>;

struct Case {
    const char* name;
    Use use;          // what the delegate does with the handler it was given
    Answers answers;  // what the platform hears, in order
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

class OnceHandlerAnswers : public ::testing::TestWithParam<Case> {};

TEST_P(OnceHandlerAnswers, ThePlatformHearsExactlyOneAnswer) {
    Answers heard;
    {
        NavigationActionDecision decision([&](NavigationActionPolicy policy) { heard.push_back(policy); });
        GetParam().use(decision);
    }
    EXPECT_EQ(heard, GetParam().answers);
}

const auto kAllow = NavigationActionPolicy::allow;
const auto kCancel = NavigationActionPolicy::cancel;
const auto kDownload = NavigationActionPolicy::download;

INSTANTIATE_TEST_SUITE_P(
    Uses, OnceHandlerAnswers,
    ::testing::Values(
        Case{"answered", [](auto& d) { d(kAllow); }, {kAllow}},
        Case{"answeredTwice", [](auto& d) { d(kDownload), d(kAllow); }, {kDownload}},
        Case{"neverAnswered", [](auto&) {}, {kCancel}},
        Case{"movedThenAnsweredLate",
             [](auto& d) {
                 auto later = std::make_shared<NavigationActionDecision>(std::move(d));
                 EXPECT_FALSE(d);
                 (*later)(kAllow);
                 d(kDownload);  // the moved-from handler has nothing left to answer
             },
             {kAllow}},
        Case{"movedAndDropped", [](auto& d) { NavigationActionDecision taken = std::move(d); }, {kCancel}},
        Case{"replacedWhileUnanswered", [](auto& d) { d = NavigationActionDecision([](auto) {}); }, {kCancel}},
        Case{"answeredThenReplaced", [](auto& d) { d(kAllow), d = NavigationActionDecision([](auto) {}); }, {kAllow}}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(OnceHandler, EachHandlerDroppedUnansweredLetsNothingHappen) {
    std::vector<std::string> heard;
    {
        NavigationResponseDecision response([&](auto policy) {
            heard.push_back(policy == NavigationResponsePolicy::cancel ? "cancel" : "?");
        });
        OpenPanelCompletion files([&](auto chosen) { heard.push_back(chosen ? "?" : "no files"); });
        DownloadDestinationCompletion destination([&](auto path) { heard.push_back(path ? "?" : "no destination"); });
    }
    EXPECT_EQ(heard, (std::vector<std::string>{"no destination", "no files", "cancel"}));  // dropped last to first
}

TEST(OnceHandler, AnAnswerThatDropsTheLastOwnerIsSafe) {
    auto owner = std::make_unique<NavigationActionDecision>();
    int answers = 0;
    *owner = NavigationActionDecision([&](NavigationActionPolicy) {
        ++answers;
        owner.reset();
    });
    (*owner)(kAllow);
    EXPECT_EQ(answers, 1);
    EXPECT_EQ(owner, nullptr);
}

}  // namespace
