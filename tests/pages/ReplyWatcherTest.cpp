#include <gtest/gtest.h>

#include "Page.h"
#include "voice/ReplyWatcherScript.h"

using namespace pelko;
using namespace pelko::e2e;
using nlohmann::json;

namespace {

const json kArm = {{"type", "voice"}, {"event", "replyTimeout"}, {"phase", "arm"}};
const json kRunning = {{"type", "voice"}, {"event", "replyTimeout"}, {"phase", "running"}};
const json kStarted = {{"type", "voice"}, {"event", "replyStarted"}};
const json kFailed = {{"type", "voice"}, {"event", "replyFailed"}, {"reason", "no-read-aloud"}};

// Page elements that are no read-aloud button, and none that is a stop button,
// nor was one while the watcher looked.
const std::string kNotReadAloud =
    "add('reading', 'Reading aloud'); add('div', 'Read aloud', 'div');"
    "add('labelled', '').setAttribute('aria-label', 'Read aloud');";
const std::string kNotStop =
    "add('a', 'Stop recording'); add('b', 'Please stop generating');"
    "add('c', 'Stop generating', 'div'); add('d', '').setAttribute('aria-label', 'Stop generating');"
    "add('e', 'Send').setAttribute('title', 'Stop recording'); add('f', 'Stop the run', 'div').title = 'Done';"
    "document.getElementById('c').remove();";
// A button whose title says stop for less than a tick, from 1000 to 1100 ms.
const std::string kStopTitleBetweenTicks =
    "var send = add('send', 'Send message');"
    "setTimeout(function () { send.title = 'Stop generating'; }, 1000);"
    "setTimeout(function () { send.title = 'Send message'; }, 1100);";
// Content holding a stop button that comes and goes before the first tick, in a task of its own.
const std::string kContentWithStop =
    "var box = document.createElement('div'); box.innerHTML = '<p><button title=\"Stop the run\">Stop</button></p>';"
    "document.body.appendChild(box);";

struct Watch {
    const char* name;
    std::string setup;  // run on the page right after the watcher started, at 0 ms
    int at;             // ms of the one report; 0 for none ever
    json message;
    const char* clicked;
};

void PrintTo(const Watch& w, std::ostream* os) { *os << w.name; }

class ReplyWatcher : public ::testing::TestWithParam<Watch> {};

// On the page's fake clock the watcher ticks every 400 ms from its start
// (0 ms); late() moves its later ticks, to land one exactly on a limit. A
// stop button shown between two ticks counts as a run seen at the next tick.
TEST_P(ReplyWatcher, ReportsOnceOnItsTickThenStops) {
    const Watch& w = GetParam();
    Page& page = Page::shared();
    ASSERT_TRUE(page.load());
    page.eval("var startWatcher = function () { return eval(" + json(replyWatcherScript()).dump() + "); }");
    EXPECT_EQ(page.eval("startWatcher()"), true);
    page.eval(w.setup);

    page.eval("fakeClock.advance(" + std::to_string(w.at ? w.at - 1 : 300000) + ")");
    EXPECT_EQ(page.messages(), std::vector<json>{});
    if (w.at) {
        page.eval("fakeClock.advance(1)");
        EXPECT_EQ(page.messages(), std::vector<json>{w.message});
    }
    // Nothing left ticking or observing, and the flag free for the next watcher.
    EXPECT_EQ(page.eval("[window.__pelkoVoiceWatcher, fakeClock.pending(), observing, clicks]"),
              json::array({false, 0, 0, w.clicked ? json::array({w.clicked}) : json::array()}));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ReplyWatcher,
    ::testing::Values(
        Watch{"ArmNotOverAtExactlyItsLimit", "late(100, 200)", 15400, kArm, nullptr},
        Watch{"ArmOverJustPastItsLimit", "late(100, 201)", 15001, kArm, nullptr},
        Watch{"ASecondStartDoesNotRestartTheWatch", "setTimeout(startWatcher, 10000)", 15200, kArm, nullptr},
        Watch{"OtherTitlesAreNoStopButton", kNotStop, 15200, kArm, nullptr},
        Watch{"RunningNotOverAtExactlyItsLimitFromTheStart", "run(1000)", 240400, kRunning, nullptr},
        Watch{"RunningOverJustPastItsLimit", "late(100, 1); run(1000)", 240001, kRunning, nullptr},
        Watch{"NotSettledAtExactlyItsLimit", "add('r1', 'Read aloud'); run(1000, 9000); late(9300, 300)", 11100,
              kStarted, "r1"},
        Watch{"SettledJustPastItsLimitClicksTheLastTitledReadAloudButton",
              "add('r1', 'Read aloud'); add('r2', 'Click to READ ALOUD');" + kNotReadAloud +
                  "add('top', 'Read aloud', 'button', true); run(1000, 9000); late(9300, 301)",
              10701, kStarted, "r2"},
        Watch{"StopTitlesInAnyCase", "add('r1', 'Read aloud'); run(1000, 9000, 'STOP GENERATING')", 10800, kStarted,
              "r1"},
        Watch{"StopTitlesStartingStopTheRun", "add('r1', 'Read aloud'); run(1000, 9000, 'Stop the running task')",
              10800, kStarted, "r1"},
        Watch{"NoReadAloudButton", kNotReadAloud + "run(1000, 9000)", 10800, kFailed, nullptr},
        Watch{"AReplyBetweenTwoTicksIsStillRead", "add('r0', 'Read aloud'); add('r1', 'Read aloud'); run(1000, 1100)",
              2800, kStarted, "r1"},
        Watch{"AStopTitleBetweenTwoTicksCounts", "add('r1', 'Read aloud');" + kStopTitleBetweenTicks, 2800, kStarted,
              "r1"},
        Watch{"ContentWithAStopButtonThatCameAndWentCounts",
              "add('r1', 'Read aloud');" + kContentWithStop + "box.remove()", 2000, kStarted, "r1"},
        Watch{"AStopButtonTakenOutOfNewContentCounts",
              "add('r1', 'Read aloud');" + kContentWithStop + "box.querySelector('button').remove()", 2000, kStarted,
              "r1"},
        Watch{"AFollowUpRunBetweenTwoTicksRestartsTheQuiet",
              "add('r1', 'Read aloud'); run(1000, 9000); run(9700, 9900)", 11600, kStarted, "r1"},
        Watch{"AFollowUpRunIsWaitedFor", "add('r1', 'Read aloud'); run(1000, 9000); run(9900, 19900)", 21600, kStarted,
              "r1"},
        Watch{"AFollowUpRunsLimitCountsFromThePreviousRunsEnd", "run(1000, 9000); run(9900)", 249600, kRunning,
              nullptr},
        Watch{
            "ClearingTheFlagStopsItSilently",
            "add('r1', 'Read aloud'); run(1000, 6000); setTimeout(function () { __pelkoVoiceWatcher = false; }, 5000)",
            0, nullptr, nullptr},
        Watch{"AReplacedWatcherStopsAndTheNewOneWatches",
              "setTimeout(function () { __pelkoVoiceWatcher = false; startWatcher(); }, 14000)", 29200, kArm, nullptr}),
    [](const ::testing::TestParamInfo<Watch>& param) { return param.param.name; });

}  // namespace
