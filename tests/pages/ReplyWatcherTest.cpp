#include <gtest/gtest.h>

#include "SharedPage.h"
#include "voice/ReplyWatcherScript.h"

using namespace pelko;
using namespace pelko::pagetest;
using nlohmann::json;

namespace {

const json kArmTimeout = {{"type", "voice"}, {"event", "replyTimeout"}, {"phase", "arm"}};
const json kRunningTimeout = {{"type", "voice"}, {"event", "replyTimeout"}, {"phase", "running"}};
const json kStarted = {{"type", "voice"}, {"event", "replyStarted"}};
const json kFailed = {{"type", "voice"}, {"event", "replyFailed"}, {"reason", "no-read-aloud"}};

// Drives reply.html on a fake page clock: time is "ms since the watcher was
// injected", and the watcher's 400 ms ticks fall on multiples of 400.
class ReplyWatcher : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NO_FATAL_FAILURE(open(sharedPage())); }

    void open(PageHarness& page, bool recordPosts = true) {
        page_ = &page;
        ASSERT_TRUE(page_->loadFixture("reply.html"));
        page_->eval("window.__start = fakeClock.install(); true");
        if (recordPosts) {
            ASSERT_EQ(page_->eval("page.recordPosts()"), true);
        }
    }

    void start() { EXPECT_EQ(page_->eval(replyWatcherScript()), true); }

    void advanceTo(int ms) {
        ASSERT_GE(ms, now_);
        page_->eval("fakeClock.advance(" + std::to_string(ms - now_) + ")");
        now_ = ms;
    }

    // Runs `body` on the page at time `ms`, on the same fake clock.
    void at(int ms, const std::string& body) {
        page_->eval("page.at(" + std::to_string(ms - now_) + ", function () { " + body + " }); true");
    }

    // A reply whose stop button shows from `from` to `to`.
    void run(int from, int to) {
        at(from, "page.showStop();");
        at(to, "page.hideStop();");
    }

    std::vector<json> events() {
        EXPECT_TRUE(page_->drainMessages());
        return page_->messages();
    }

    // Each post with the page flag at that moment and its time.
    json posts() {
        return page_->eval(
            "posts.filter(function (p) { return p.event; }).map(function (p) {"
            "  return { event: p.event, flag: p.flag, at: p.at - window.__start }; })");
    }

    json post(const char* event, int atMs) { return json::array({{{"event", event}, {"flag", false}, {"at", atMs}}}); }

    json clicks() { return page_->eval("clicks"); }
    json pendingTimers() { return page_->eval("fakeClock.pending()"); }
    json flagIsSet() { return page_->eval("!!window.__pelkoVoiceWatcher"); }

    PageHarness* page_ = nullptr;
    int now_ = 0;
};

TEST_F(ReplyWatcher, StartsOnceAndReturnsTrue) {
    start();
    EXPECT_EQ(flagIsSet(), true);
    EXPECT_EQ(pendingTimers(), 1);
    start();
    EXPECT_EQ(pendingTimers(), 1) << "a second injection started a second timer";
}

TEST_F(ReplyWatcher, ArmTimesOutOnTheFirstTickAfterFifteenSeconds) {
    start();
    advanceTo(15199);
    EXPECT_TRUE(events().empty());
    advanceTo(15200);
    EXPECT_EQ(events(), std::vector<json>{kArmTimeout});
    EXPECT_EQ(posts(), post("replyTimeout", 15200));
    EXPECT_EQ(pendingTimers(), 0);
    advanceTo(60000);
    EXPECT_EQ(events().size(), 1u);
}

TEST_F(ReplyWatcher, ExactlyFifteenSecondsIsNotYetATimeout) {
    start();
    page_->eval("fakeClock.delay(200); true");  // ticks now fall on 600, 1000, ..., 15000
    advanceTo(15399);
    EXPECT_TRUE(events().empty());
    advanceTo(15400);
    EXPECT_EQ(events(), std::vector<json>{kArmTimeout});
    EXPECT_EQ(posts(), post("replyTimeout", 15400));
}

TEST_F(ReplyWatcher, ClicksTheLastReadAloudButtonAfterTheRunSettles) {
    page_->eval("page.addReadAloud('r1'); page.addReadAloud('r2'); true");
    start();
    run(1000, 9000);  // seen at 1200; gone at the 9200 tick, which starts the settle time
    advanceTo(10799);
    EXPECT_TRUE(events().empty());
    EXPECT_EQ(clicks(), json::array());
    advanceTo(10800);  // 1600 ms of quiet
    EXPECT_EQ(events(), std::vector<json>{kStarted});
    EXPECT_EQ(posts(), post("replyStarted", 10800));
    EXPECT_EQ(clicks(), json::array({"r2"}));
    EXPECT_EQ(pendingTimers(), 0);
}

TEST_F(ReplyWatcher, ExactlyFifteenHundredMillisecondsIsNotYetSettled) {
    page_->eval("page.addReadAloud('r1'); true");
    start();
    run(1000, 9000);
    advanceTo(9200);                            // settle starts here
    page_->eval("fakeClock.delay(300); true");  // ticks at 9900, 10300, 10700, 11100
    advanceTo(11099);
    EXPECT_TRUE(events().empty());
    advanceTo(11100);
    EXPECT_EQ(posts(), post("replyStarted", 11100));
}

TEST_F(ReplyWatcher, WaitsForAFollowUpRunThatStartsWhileSettling) {
    page_->eval("page.addReadAloud('r1'); true");
    start();
    run(1000, 9000);
    run(9900, 19900);  // back within 1500 ms of the first run's end
    advanceTo(21599);
    EXPECT_TRUE(events().empty());
    EXPECT_EQ(clicks(), json::array());
    advanceTo(21600);
    EXPECT_EQ(posts(), post("replyStarted", 21600));
    EXPECT_EQ(clicks(), json::array({"r1"}));
}

TEST_F(ReplyWatcher, RunningLimitCountsFromTheStartOfTheWatch) {
    page_->eval("page.addReadAloud('r1'); true");
    start();
    at(1000, "page.showStop();");  // and it never goes
    advanceTo(240000);             // a tick at exactly 240000 ms
    EXPECT_TRUE(events().empty());
    advanceTo(240400);
    EXPECT_EQ(events(), std::vector<json>{kRunningTimeout});
    EXPECT_EQ(posts(), post("replyTimeout", 240400));
    EXPECT_EQ(clicks(), json::array());
    EXPECT_EQ(page_->eval("!!document.getElementById('stop')"), true) << "the watcher only stops watching";
    EXPECT_EQ(pendingTimers(), 0);
}

TEST_F(ReplyWatcher, FollowUpRunLimitCountsFromThePreviousRunsEnd) {
    start();
    run(1000, 9000);               // settle from 9200
    at(9900, "page.showStop();");  // the follow-up never ends
    advanceTo(249200);             // exactly 240000 ms after 9200
    EXPECT_TRUE(events().empty());
    advanceTo(249600);
    EXPECT_EQ(posts(), post("replyTimeout", 249600));
    EXPECT_EQ(events(), std::vector<json>{kRunningTimeout});
}

TEST_F(ReplyWatcher, ChoosesOnlyTitledReadAloudButtonsAndTheLastInDocumentOrder) {
    page_->eval(
        "page.addReadAloud('r1');"
        "page.addReadAloud('r2', 'Click to READ ALOUD');"
        "page.addReadAloud('reading', 'Reading aloud');"
        "page.addElement('button', 'copy', 'Copy', null);"
        "page.addElement('div', 'titledDiv', 'Read aloud', null);"
        "page.addElement('button', 'labelled', null, 'Read aloud');"
        "page.addReadAloudAtTop('newestButFirst');"
        "true");
    start();
    run(1000, 9000);
    advanceTo(10800);
    EXPECT_EQ(events(), std::vector<json>{kStarted});
    EXPECT_EQ(clicks(), json::array({"r2"}));
}

TEST_F(ReplyWatcher, ReportsNoReadAloudWhenThereIsNone) {
    page_->eval(
        "page.addElement('button', 'copy', 'Copy', null);"
        "page.addElement('div', 'titledDiv', 'Read aloud', null);"
        "page.addElement('button', 'labelled', null, 'Read aloud');"
        "true");
    start();
    run(1000, 9000);
    advanceTo(10800);
    EXPECT_EQ(events(), std::vector<json>{kFailed});
    EXPECT_EQ(posts(), post("replyFailed", 10800));
    EXPECT_EQ(clicks(), json::array());
}

TEST_F(ReplyWatcher, StopsSilentlyWhenItsFlagIsClearedWhileArmed) {
    start();
    advanceTo(2000);
    page_->eval("window.__pelkoVoiceWatcher = false; true");
    advanceTo(60000);
    EXPECT_TRUE(events().empty());
    EXPECT_EQ(pendingTimers(), 0);
}

TEST_F(ReplyWatcher, StopsSilentlyWhenItsFlagIsClearedWhileRunning) {
    page_->eval("page.addReadAloud('r1'); true");
    start();
    run(1000, 6000);
    advanceTo(5000);
    page_->eval("window.__pelkoVoiceWatcher = false; true");
    advanceTo(300000);
    EXPECT_TRUE(events().empty());
    EXPECT_EQ(clicks(), json::array());
    EXPECT_EQ(pendingTimers(), 0);
}

TEST_F(ReplyWatcher, TwoInjectionsInARowWatchOnce) {
    page_->eval("page.addReadAloud('r1'); true");
    start();
    start();
    run(1000, 9000);
    advanceTo(60000);
    EXPECT_EQ(events(), std::vector<json>{kStarted});
    EXPECT_EQ(clicks(), json::array({"r1"}));
}

// The flag is cleared (the user cancelled the wait) and a new watcher starts
// before the old one's next tick: the old one must not go on and report on
// the new wait with its own, older start time.
TEST_F(ReplyWatcher, AWatcherReplacedBeforeItsNextTickStops) {
    start();
    advanceTo(14000);
    page_->eval("window.__pelkoVoiceWatcher = false; true");
    start();  // its ticks fall on 14400, 14800, ...
    advanceTo(29199);
    EXPECT_TRUE(events().empty());
    advanceTo(29200);
    EXPECT_EQ(events(), std::vector<json>{kArmTimeout});
    EXPECT_EQ(posts(), post("replyTimeout", 29200));
    EXPECT_EQ(pendingTimers(), 0);
}

TEST_F(ReplyWatcher, TheNextWatcherCanStartAsSoonAsOneHasReported) {
    start();
    advanceTo(15200);
    ASSERT_EQ(events(), std::vector<json>{kArmTimeout});
    EXPECT_EQ(flagIsSet(), false);
    start();
    EXPECT_EQ(flagIsSet(), true);
    advanceTo(30400);
    EXPECT_EQ(events(), (std::vector<json>{kArmTimeout, kArmTimeout}));
}

// --- Titles that count as the stop button -------------------------------------

struct StopCase {
    const char* name;
    const char* tag;
    const char* title;  // nullptr: no title attribute
    const char* label;
    bool isStop;
};

void PrintTo(const StopCase& c, std::ostream* os) { *os << c.name; }

class StopButtonTitle : public ReplyWatcher, public ::testing::WithParamInterface<StopCase> {};

TEST_P(StopButtonTitle, DecidesWhetherTheReplyIsRunning) {
    const StopCase& c = GetParam();
    page_->eval("page.addElement(" + json(c.tag).dump() + ", 'candidate', " +
                (c.title ? json(c.title).dump() : "null") + ", " + (c.label ? json(c.label).dump() : "null") +
                "); true");
    start();
    advanceTo(16000);
    if (c.isStop) {
        EXPECT_TRUE(events().empty()) << "taken as no stop button";
    } else {
        EXPECT_EQ(events(), std::vector<json>{kArmTimeout}) << "taken as a stop button";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Titles, StopButtonTitle,
    ::testing::Values(StopCase{"StopGenerating", "button", "Stop generating", nullptr, true},
                      StopCase{"Capitals", "button", "STOP GENERATING", nullptr, true},
                      StopCase{"StopTheRun", "button", "stop the run", nullptr, true},
                      StopCase{"AnchoredOnlyAtTheStart", "button", "Stop the running task", nullptr, true},
                      StopCase{"WithMoreWords", "button", "Stop generating response", nullptr, true},
                      StopCase{"StopRecording", "button", "Stop recording", nullptr, false},
                      StopCase{"StopAlone", "button", "Stop", nullptr, false},
                      StopCase{"NotAtTheStart", "button", "Please stop generating", nullptr, false},
                      StopCase{"LeadingSpace", "button", " Stop generating", nullptr, false},
                      StopCase{"TwoSpaces", "button", "Stop  generating", nullptr, false},
                      StopCase{"EmptyTitle", "button", "", nullptr, false},
                      StopCase{"LabelNotTitle", "button", nullptr, "Stop generating", false},
                      StopCase{"NotAButton", "div", "Stop generating", nullptr, false}),
    [](const ::testing::TestParamInfo<StopCase>& param) { return param.param.name; });

// --- Without the bridge, and on real timers -----------------------------------

TEST_F(ReplyWatcher, WithoutTheBridgeStillFinishesQuietly) {
    PageHarness bare(PageHarness::Options{.bridgeHandler = false});
    ASSERT_NO_FATAL_FAILURE(open(bare, /*recordPosts=*/false));
    ASSERT_EQ(bare.eval("window.webkit && window.webkit.messageHandlers && "
                        "window.webkit.messageHandlers.pelko ? 'bridge' : 'none'"),
              "none");
    bare.eval("page.addReadAloud('r1'); true");
    start();
    run(1000, 9000);
    // A post that threw would surface here as an error from advance().
    ScriptOutcome advanced = bare.evaluate("fakeClock.advance(20000)");
    EXPECT_FALSE(advanced.error) << advanced.error->message;
    EXPECT_EQ(clicks(), json::array({"r1"}));
    EXPECT_EQ(flagIsSet(), false);
    EXPECT_EQ(pendingTimers(), 0);
}

TEST(ReplyWatcherRealTime, ReportsAShortReplyOnThePagesOwnTimers) {
    PageHarness& page = sharedPage();
    ASSERT_TRUE(page.loadFixture("reply.html"));
    page.eval("page.addReadAloud('r1'); page.showStop(); setTimeout(page.hideStop, 600); true");
    EXPECT_EQ(page.eval(replyWatcherScript()), true);
    // About 2.4 s: running at 400 ms, settling from 800 ms, reported at 2400 ms.
    ASSERT_TRUE(page.spinUntil([&] { return !page.messages().empty(); }));
    EXPECT_EQ(page.messages(), std::vector<json>{kStarted});
    EXPECT_EQ(page.eval("clicks"), json::array({"r1"}));
}

}  // namespace
