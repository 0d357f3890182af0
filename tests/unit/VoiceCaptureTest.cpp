#include <gtest/gtest.h>

#include "unit/VoiceHarness.h"
#include "voice/TranscriptTrim.h"

using namespace pelko;
using namespace pelko::test;
using nlohmann::json;

namespace {

AudioPCMBuffer buffer(std::size_t frames) { return AudioPCMBuffer{{48000, 1}, std::vector<float>(frames, 0.25f)}; }

FakeRecognitionRequest& requestOf(FakeRecognitionTask& task) {
    return static_cast<FakeRecognitionRequest&>(*task.request);
}

TEST(VoiceCapture, MissingRecognizerReportsUnavailableAndMakesNoEngine) {
    VoiceHarness h;
    h.platform.speech.recognizer = nullptr;
    h.makeController();
    h.voice->togglePushToTalk();
    h.grant();
    EXPECT_EQ(h.voice->status(), text::kUnavailable);
    EXPECT_EQ(h.voice->state(), VoiceState::idle);
    EXPECT_TRUE(h.platform.audio.engines.empty());
}

struct OnDeviceCase {
    const char* name;
    bool supported;
    std::optional<bool> required;
};

class OnDevice : public ::testing::TestWithParam<OnDeviceCase> {};

TEST_P(OnDevice, TapAndRequestAreSetUpForStreaming) {
    VoiceHarness h;
    h.platform.speech.recognizer->onDevice = GetParam().supported;
    h.platform.audio.inputFormat = {44100, 2};
    h.startPushToTalk();

    auto& request = requestOf(h.task());
    EXPECT_EQ(request.partialResults, std::optional<bool>(true));
    EXPECT_EQ(request.requiresOnDevice, GetParam().required);
    EXPECT_EQ(h.engine().tapBus, 0);
    EXPECT_EQ(h.engine().tapBufferSize, 1024u);
    EXPECT_EQ(h.engine().tapFormat, (AudioFormat{44100, 2}));
    EXPECT_TRUE(h.engine().running);
    EXPECT_EQ(h.voice->status(), text::kListeningStarted);
}

INSTANTIATE_TEST_SUITE_P(Recognizers, OnDevice,
                         ::testing::Values(OnDeviceCase{"supported", true, true},
                                           OnDeviceCase{"notSupported", false, std::nullopt}),
                         [](const ::testing::TestParamInfo<OnDeviceCase>& param) { return param.param.name; });

TEST(VoiceCapture, EngineThatDoesNotStartLeavesNoTapAndNoTask) {
    VoiceHarness h;
    h.platform.audio.startOutcomes = {false};
    h.voice->togglePushToTalk();
    h.grant();
    ASSERT_EQ(h.platform.audio.engines.size(), 1u);
    EXPECT_FALSE(h.engine().tapInstalled);
    EXPECT_FALSE(h.engine().alive);
    EXPECT_TRUE(h.platform.speech.recognizer->tasks.empty());
    EXPECT_EQ(h.voice->status(), text::kMicFailed);
}

TEST(VoiceCapture, TapFeedsTheCurrentRequestAndNothingAfterTheFinish) {
    VoiceHarness h;
    h.startPushToTalk();
    auto& request = requestOf(h.task());
    h.platform.audio.capture(buffer(1024));
    h.platform.audio.capture(buffer(512));
    EXPECT_EQ(request.appendedFrames, 1536u);

    const AudioTapBlock lateTap = h.engine().tap;  // a buffer already in flight on the audio thread
    h.voice->togglePushToTalk();
    EXPECT_EQ(request.endAudioCalls, 1);
    EXPECT_FALSE(h.engine().tapInstalled);
    lateTap(buffer(256), AudioTime{});
    EXPECT_EQ(request.appendedFrames, 1792u);  // still the recording's request until the finish

    h.advance(2500);
    lateTap(buffer(256), AudioTime{});
    EXPECT_EQ(request.appendedFrames, 1792u);
    EXPECT_EQ(h.task().cancelCalls, 1);
}

TEST(VoiceCapture, SecondStopStartsTheTimerOverWithItsOwnSendValue) {
    VoiceHarness h;
    h.startDictation();
    h.partial("first words");
    h.voice->togglePushToTalk();  // stop with send: "Transcribing…"
    h.advance(2000);
    h.dictate();  // stop again, without send
    EXPECT_EQ(h.voice->status(), text::kCancelled);
    h.advance(2499);
    EXPECT_EQ(h.voice->state(), VoiceState::recording);
    h.advance(1);
    EXPECT_EQ(h.voice->state(), VoiceState::idle);
    // Still a dictation: inserted, never sent.
    const auto scripts = h.scripts();
    EXPECT_EQ(std::count(scripts.begin(), scripts.end(), composerInsertScript("first words")), 1);
    EXPECT_EQ(std::count(scripts.begin(), scripts.end(), composerSubmitScript("first words")), 0);
}

TEST(VoiceCapture, PushToTalkDuringDictationInsertsWithoutTranscribingEvent) {
    VoiceHarness h;
    h.startDictation();
    h.partial("note this");
    h.voice->togglePushToTalk();
    h.final("note this");
    EXPECT_EQ(h.voiceEvents(), (std::vector<std::string>{"recording", "idle"}));
    EXPECT_EQ(h.scripts().back(), voiceStateScript("idle"));
    EXPECT_NE(std::find(h.scripts().begin(), h.scripts().end(), composerInsertScript("note this")), h.scripts().end());
}

TEST(VoiceCapture, FinalResultReadsTheStopValueWhenItIsHandled) {
    VoiceHarness h;
    h.startPushToTalk();
    h.task().final("just in time");  // queued on the main queue, not yet handled
    h.voice->togglePushToTalk();
    h.run();
    EXPECT_EQ(h.voice->status(), "Sending: just in time");
}

TEST(VoiceCapture, FinishHappensOncePerRecording) {
    VoiceHarness h;
    h.startPushToTalk();
    h.partial("one");
    h.voice->togglePushToTalk();
    h.final("one");
    h.task().fail();
    h.task().final("one again");
    h.advance(10000);
    EXPECT_EQ(h.task().cancelCalls, 1);
    const auto scripts = h.scripts();
    EXPECT_EQ(std::count(scripts.begin(), scripts.end(), composerSubmitScript("one")), 1);
    EXPECT_EQ(h.voice->status(), "Sending: one");
}

TEST(VoiceCapture, ResultsOfAFinishedRecordingDoNotReachTheNextOne) {
    VoiceHarness h;
    h.startPushToTalk();
    h.partial("old words");
    h.voice->togglePushToTalk();
    h.advance(2500);  // the timer finishes before the recognizer has answered
    auto& oldTask = h.task();
    h.completeLast(json{{"ok", true}});

    h.startPushToTalk();
    h.partial("new words");
    // The cancelled task's last reports arrive late: a cancellation error, a final result.
    oldTask.fail();
    oldTask.final("old words, finally");
    h.run();
    EXPECT_EQ(h.voice->state(), VoiceState::recording);
    EXPECT_EQ(h.voice->status(), "\u25CF new words");
    EXPECT_TRUE(h.engine().running);

    h.voice->togglePushToTalk();
    h.final("new words");
    EXPECT_EQ(h.voice->status(), "Sending: new words");
}

TEST(VoiceCapture, LateResultAfterTheFinishLeavesTheStatusAlone) {
    VoiceHarness h;
    h.sendMessage("hello");
    ASSERT_EQ(h.voice->status(), text::kWaiting);
    h.partial("hello wor");
    EXPECT_EQ(h.voice->status(), text::kWaiting);
}

TEST(VoiceCapture, ReleasingTheControllerMidRecordingTurnsTheMicrophoneOff) {
    VoiceHarness h;
    h.startPushToTalk();
    auto& task = h.task();
    h.voice.reset();
    EXPECT_FALSE(h.platform.audio.anyCapturing());
    EXPECT_EQ(task.cancelCalls, 1);
    task.final("after the end");
    h.advance(10000);  // nothing left to run, nothing to crash
    EXPECT_EQ(h.platform.mainQueue.pending(), 0u);
}

TEST(VoiceCapture, FailedDictationStartIsNotADictation) {
    VoiceHarness h;
    h.platform.audio.startOutcomes = {false};
    h.dictate();
    h.grant();
    EXPECT_EQ(h.voice->status(), text::kMicFailed);
    EXPECT_EQ(h.voiceEvents(), std::vector<std::string>{"idle"});

    // The next push-to-talk recording is sent, not inserted.
    h.startPushToTalk();
    h.partial("send me");
    h.voice->togglePushToTalk();
    h.final("send me");
    EXPECT_EQ(h.scripts().back(), composerSubmitScript("send me"));
    EXPECT_EQ(h.voiceEvents(), std::vector<std::string>{"idle"});
}

TEST(VoiceCapture, DictationGrantedWhilePushToTalkRecordsStaysPushToTalk) {
    VoiceHarness h;
    h.dictate();
    auto& pending = h.platform.permissions.pendingMicrophone;
    auto dictationAnswer = std::move(pending.front());  // the user is slow to answer this one
    pending.pop_front();
    h.startPushToTalk();
    dictationAnswer(true);
    h.run();
    h.answerSpeech(3);
    EXPECT_EQ(h.platform.audio.engines.size(), 1u);
    EXPECT_EQ(h.voiceEvents(), std::vector<std::string>{"idle"});
    h.partial("send me");
    h.voice->togglePushToTalk();
    h.final("send me");
    EXPECT_EQ(h.scripts().back(), composerSubmitScript("send me"));
}

struct TrimCase {
    const char* name;
    std::string input;
    std::string expected;
};

class Trim : public ::testing::TestWithParam<TrimCase> {};

TEST_P(Trim, RemovesWhitespaceAndNewlinesAtBothEndsOnly) {
    EXPECT_EQ(trimWhitespaceAndNewlines(GetParam().input), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, Trim,
    ::testing::Values(TrimCase{"empty", "", ""}, TrimCase{"onlySpaces", "   ", ""},
                      TrimCase{"asciiControls", "\t\n\v\f\r hi \r\n\t", "hi"},
                      TrimCase{"innerKept", "  a \n b  ", "a \n b"},
                      TrimCase{"unicodeSpaces", "\u00A0\u2003\u3000hi\u202F\u205F\u1680", "hi"},
                      TrimCase{"unicodeNewlines", "\u0085\u2028hi\u2029", "hi"},
                      TrimCase{"zeroWidthSpaceIsText", "\u200Bhi", "\u200Bhi"},
                      TrimCase{"nonAsciiText", " caf\u00E9 \U0001F600 ", "caf\u00E9 \U0001F600"},
                      TrimCase{"invalidBytesAreText", " \xFF hi \xC3", "\xFF hi \xC3"},
                      TrimCase{"truncatedSequenceAtEnd", "hi \xE2\x80", "hi \xE2\x80"},
                      TrimCase{"overlongSpaceIsText", "\xC0\xA0hi", "\xC0\xA0hi"}),
    [](const ::testing::TestParamInfo<TrimCase>& param) { return param.param.name; });

TEST(VoiceCapture, SentTranscriptIsTrimmedAndKeepsItsInnerLines) {
    VoiceHarness h;
    h.startPushToTalk();
    h.voice->togglePushToTalk();
    h.final("\n  first line\nsecond line \u2028");
    EXPECT_EQ(h.voice->status(), "Sending: first line\nsecond line");
    EXPECT_EQ(h.scripts().back(), composerSubmitScript("first line\nsecond line"));
}

}  // namespace
