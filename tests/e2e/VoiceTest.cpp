// Voice by the paths a user takes, in the Linux app against the demo page.
// A WAV file spoken by espeak-ng stands in for the microphone, in real time,
// and a grammar keeps the recognizer's transcripts the same on every machine.
#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <algorithm>
#include <string>
#include <vector>

#include "Harness.h"
#include "gtk/app/Platform.h"
#include "voice/VoiceStatusTexts.h"

namespace pelko::e2e {
namespace {

namespace text = voice_status;

// Whether `expected` shows in `shown` in this order, other statuses between.
bool inOrder(const std::vector<std::string>& shown, const std::vector<std::string>& expected) {
    auto next = shown.begin();
    for (const auto& status : expected) {
        next = std::find(next, shown.end(), status);
        if (next == shown.end()) return false;
        ++next;
    }
    return true;
}

class Voice : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(app_.launch()); }
    void TearDown() override { World::get().platform->setAudioFile(std::nullopt); }

    void speak(const char* file) { World::get().platform->setAudioFile(std::string(PELKO_VOICE_DIR) + "/" + file); }
    const std::vector<std::string>& statuses() { return app_.voiceStatuses(); }
    [[nodiscard]] bool shows(const std::string& status) {
        return runUntil([&] { return std::ranges::find(statuses(), status) != statuses().end(); }, 20s);
    }
    void dictate() { app_.eval("document.getElementById('dictate').click(); 0"); }
    nlohmann::json lastUserMessage() { return app_.eval(kLastUserMessage); }
    [[nodiscard]] bool sent(const std::string& message) { return app_.waitFor(kLastUserMessage, message); }

    static constexpr const char* kLastUserMessage =
        "[...document.querySelectorAll('.message.user .bubble')].pop().textContent";

    TestApp app_;
};

TEST_F(Voice, PushToTalkSendsTheTranscriptAndReadsTheReplyAloud) {
    speak("hello-world.wav");
    app_.choose("Push to Talk");
    ASSERT_TRUE(shows(std::string(text::kTranscriptPrefix) + "hello world"));
    app_.choose("Push to Talk");
    ASSERT_TRUE(shows(text::kReady));
    EXPECT_TRUE(inOrder(statuses(), {text::kListeningStarted, text::kTranscribing,
                                     std::string(text::kSendingPrefix) + "hello world", text::kWaitingForReply,
                                     text::kSpeakingReply, text::kReady}))
        << testing::PrintToString(statuses());
    EXPECT_TRUE(sent("hello world"));
    EXPECT_NE(app_.eval("window.__pelkoDemoReading"), nullptr);
}

// A reply that comes whole, quicker than the watcher's tick, is still read
// aloud; speaking over it silences the page before the microphone opens.
TEST_F(Voice, PushToTalkWhileTheReplyIsReadAloudSilencesThePage) {
    app_.eval("document.getElementById('answer-at-once').click(); 0");
    speak("hello-world.wav");
    app_.choose("Push to Talk");
    ASSERT_TRUE(shows(std::string(text::kTranscriptPrefix) + "hello world"));
    app_.choose("Push to Talk");
    ASSERT_TRUE(shows(text::kSpeakingReply)) << testing::PrintToString(statuses());
    ASSERT_NE(app_.eval("window.__pelkoDemoReading"), nullptr);
    // Under Xvfb the engine's synthesizer has no audio device to fall silent
    // on, so what is checked is that the page's speech was cancelled.
    app_.eval(
        "window.cancelled = 0; var cancel = SpeechSynthesis.prototype.cancel;"
        "SpeechSynthesis.prototype.cancel = function () { cancelled += 1; return cancel.call(this); }; 0");

    speak("silence.wav");
    app_.choose("Push to Talk");
    ASSERT_TRUE(shows(text::kListeningStarted));
    EXPECT_TRUE(app_.waitFor("cancelled", 1));
    app_.choose("Push to Talk");
    EXPECT_TRUE(runUntil([&] { return statuses().back() == text::kReady; }, 20s));
    EXPECT_EQ(app_.eval("cancelled"), 1);
}

TEST_F(Voice, DictationAddsToTheComposerWithoutSending) {
    app_.eval("document.getElementById('composer-input').value = 'Note:'; 0");
    const auto before = lastUserMessage();
    speak("hello-world.wav");
    dictate();
    ASSERT_TRUE(app_.waitFor("window.__pelkoDemoVoiceState || null", "recording"));
    ASSERT_TRUE(shows(std::string(text::kTranscriptPrefix) + "hello world"));
    dictate();
    ASSERT_TRUE(app_.waitFor("window.__pelkoDemoVoiceState", "idle"));
    EXPECT_TRUE(app_.waitFor("document.getElementById('composer-input').value", "Note: hello world"));
    EXPECT_EQ(lastUserMessage(), before);
}

// The page reloaded and the window closed while the user speaks: the
// recording goes on, its message reaches the page that is there, and
// nothing of the capture is left once it is over.
TEST_F(Voice, AReloadAndAClosedWindowDuringARecordingLeaveNothingRunning) {
    speak("hello-world.wav");
    app_.choose("Push to Talk");
    ASSERT_TRUE(shows(text::kListeningStarted));
    EXPECT_EQ(threadsNamed("pelko-audio"), 1);
    ASSERT_TRUE(app_.loads([&] { app_.choose("Reload"); }, "/"));
    gtk_window_close(app_.window());
    ASSERT_TRUE(shows(std::string(text::kTranscriptPrefix) + "hello world"));
    app_.choose("Push to Talk");
    EXPECT_TRUE(sent("hello world"));
    EXPECT_TRUE(shows(text::kWaitingForReply)) << testing::PrintToString(statuses());
    EXPECT_EQ(threadsNamed("pelko-audio"), 0);
    EXPECT_EQ(threadsNamed("pelko-speech"), 1);
}

}  // namespace
}  // namespace pelko::e2e
