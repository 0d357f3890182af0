#include <gtest/gtest.h>

#include "Page.h"
#include "voice/SilencePageScript.h"

using namespace pelko;
using namespace pelko::e2e;
using nlohmann::json;

namespace {

// Three long utterances: whatever the engine does with the first, some stay queued.
const std::string kSpeak =
    "for (var i = 0; i < 3; i++) {"
    "  speechSynthesis.speak(new SpeechSynthesisUtterance('This is a long reply, read aloud sentence by sentence, '"
    "      + 'so that the queue holds it for a good while. Sentence ' + i + '.'));"
    "}";

struct Silence {
    const char* name;
    std::string setup;  // run before anything plays
    bool speechCancelled;
};

void PrintTo(const Silence& s, std::ostream* os) { *os << s.name; }

class SilencePage : public ::testing::TestWithParam<Silence> {};

// Under Xvfb the engine's synthesizer has no audio device: it keeps reporting
// `speaking` for an utterance it has started, even after a cancel. What a
// cancel does show there is the queue: `pending` turns false.
TEST_P(SilencePage, CancelsTheSpeechAndPausesWhatPlays) {
    const Silence& s = GetParam();
    Page& page = Page::shared();
    ASSERT_TRUE(page.load());
    page.eval(s.setup);
    page.eval(kSpeak + "tone('voice', 30).play(); tone('music', 30).play(); tone('quiet', 30); 0");
    ASSERT_TRUE(runUntil([&] {
        return page.eval("speechSynthesis.pending && voice.currentTime > 0.2 && music.currentTime > 0.2") == true;
    })) << page.eval("[speechSynthesis.pending, voice.currentTime, music.currentTime]");

    EXPECT_EQ(page.eval(silencePageScript()), true);
    const json at = page.eval("[voice.currentTime, music.currentTime]");
    runUntil([] { return false; }, 300ms);
    EXPECT_EQ(page.eval("[speechSynthesis.pending, voice.paused, music.paused, quiet.paused, quiet.currentTime]"),
              json::array({!s.speechCancelled, true, true, true, 0}));
    EXPECT_EQ(page.eval("[voice.currentTime, music.currentTime]"), at) << "still playing";
}

INSTANTIATE_TEST_SUITE_P(
    Rows, SilencePage,
    ::testing::Values(Silence{"AnOrdinaryPage", "0", true},
                      Silence{"APageWhoseSpeechCannotBeCancelledStillHasItsAudioPaused",
                              "SpeechSynthesis.prototype.cancel = function () { throw new Error('broken'); }; 0",
                              false}),
    [](const ::testing::TestParamInfo<Silence>& param) { return param.param.name; });

}  // namespace
