#include <gtest/gtest.h>

#include <functional>

#include "unit/VoiceHarness.h"

using namespace pelko;
using namespace pelko::test;
using nlohmann::json;

namespace {

using Step = std::function<void(VoiceHarness&)>;

// Where a row starts.
void idle(VoiceHarness&) {}
void recordingPushToTalk(VoiceHarness& h) {
    h.startPushToTalk();
    h.partial("  hello there\n");
}
void recordingDictation(VoiceHarness& h) {
    h.startDictation();
    h.partial("  hello there\n");
}
void stoppedPushToTalk(VoiceHarness& h) {
    recordingPushToTalk(h);
    h.voice->togglePushToTalk();
}
void stoppedDictation(VoiceHarness& h) {
    recordingDictation(h);
    h.dictate();
}
void submitting(VoiceHarness& h) {
    stoppedPushToTalk(h);
    h.final("  hello there\n");
}
void inserting(VoiceHarness& h) {
    stoppedDictation(h);
    h.final("  hello there\n");
}
void awaitingReply(VoiceHarness& h) {
    submitting(h);
    h.completeLast(json{{"ok", true}});
}
void speaking(VoiceHarness& h) {
    awaitingReply(h);
    h.replyEvent("replyStarted");
}

// A script the controller evaluated, named for the table.
std::string describe(const std::string& script) {
    if (script == kClearWatcherScript) return "clearWatcher";
    if (script == replyWatcherScript()) return "watcher";
    if (script == composerSubmitScript("hello there")) return "submit";
    if (script == composerInsertScript("hello there")) return "insert";
    for (const char* state : {"recording", "transcribing", "idle"})
        if (script == voiceStateScript(state)) return std::string("event:") + state;
    return "other: " + script;
}

struct Transition {
    const char* name;
    Step from;
    Step event;
    VoiceState next;
    std::string status;
    std::vector<std::string> scripts;  // evaluated by the event, in order
    bool capturing;                    // the microphone is in use afterwards
    Step also = nullptr;               // what else the row checks
};

void PrintTo(const Transition& t, std::ostream* os) { *os << t.name; }

class VoiceTransitions : public ::testing::TestWithParam<Transition> {};

TEST_P(VoiceTransitions, FollowTheTable) {
    const Transition& row = GetParam();
    VoiceHarness h;
    row.from(h);
    const std::size_t before = h.webView->evaluations.size();  // rows may drop the web view
    row.event(h);
    h.run();
    EXPECT_EQ(h.voice->state(), row.next);
    EXPECT_EQ(h.voice->status(), row.status);
    std::vector<std::string> described;
    for (const auto& script : h.scripts(before)) described.push_back(describe(script));
    EXPECT_EQ(described, row.scripts);
    EXPECT_EQ(h.platform.audio.anyCapturing(), row.capturing);
    if (row.also) row.also(h);
}

const std::string kHello = "hello there";
const std::string kMicrophoneText =
    "Pelko uses the microphone for push-to-talk voice messages. macOS only lists an app under Privacy & Security "
    "\u2192 Microphone after the app asks \u2014 turn Pelko on there, then press the shortcut again.";
const std::string kSpeechText =
    "Pelko uses speech recognition to turn push-to-talk voice messages into text. Enable it in System Settings "
    "\u2192 Privacy & Security \u2192 Speech Recognition, then try again.";
const std::string kRawHello = "  hello there\n";

void pushToTalk(VoiceHarness& h) { h.voice->togglePushToTalk(); }
void pushToTalkGranted(VoiceHarness& h) {
    h.voice->togglePushToTalk();
    h.grant();
}
void dictateGranted(VoiceHarness& h) {
    h.dictate();
    h.grant();
}
FakeRecognitionRequest& request(VoiceHarness& h) { return *h.platform.speech.requests.back(); }

const std::string kSettings = "x-apple.systempreferences:com.apple.preference.security?";

// The permission alert shown last, and what its answer opened.
Step permissionAlert(const std::string& title, const std::string& pane) {
    return [title, pane](VoiceHarness& h) {
        ASSERT_EQ(h.platform.alerts.shown.size(), 1u);
        const AlertSpec& alert = h.platform.alerts.shown[0];
        EXPECT_EQ(alert.title, title);
        EXPECT_EQ(alert.message, title == "Microphone Needed" ? kMicrophoneText : kSpeechText);
        EXPECT_EQ(alert.buttons, (std::vector<std::string>{"Open Settings", "Not Now"}));
        EXPECT_EQ(alert.cancelReturn(), 1001);
        EXPECT_EQ(h.platform.workspace.openedURLs,
                  pane.empty() ? std::vector<std::string>{} : std::vector<std::string>{kSettings + pane});
        EXPECT_TRUE(h.platform.audio.engines.empty());
    };
}

void succeed(VoiceHarness& h) { h.completeLast(json{{"ok", true}}); }
void fail(VoiceHarness& h) { h.completeLast(json{{"ok", false}, {"reason", "no-textarea"}}); }

INSTANTIATE_TEST_SUITE_P(
    Table, VoiceTransitions,
    ::testing::Values(
        // Push-to-talk toggle.
        Transition{"pttFromIdleStarts", [](VoiceHarness& h) { h.platform.audio.inputFormat = {44100, 2}; },
                   pushToTalkGranted, VoiceState::recording, text::kListeningStarted, {}, true,
                   [](VoiceHarness& h) {
                       EXPECT_EQ(request(h).partialResults, std::optional(true));
                       EXPECT_EQ(request(h).requiresOnDevice, std::optional(true));
                       EXPECT_EQ(h.engine().tapBus, 0);
                       EXPECT_EQ(h.engine().tapBufferSize, 1024u);
                       EXPECT_EQ(h.engine().tapFormat, (AudioFormat{44100, 2}));
                   }},
        Transition{"pttRecognizerNotOnDevice", [](VoiceHarness& h) { h.platform.speech.recognizer->onDevice = false; },
                   pushToTalkGranted, VoiceState::recording, text::kListeningStarted, {}, true,
                   [](VoiceHarness& h) { EXPECT_EQ(request(h).requiresOnDevice, std::nullopt); }},
        Transition{"permissionAnswersRepeatedCountOnce", idle,
                   [](VoiceHarness& h) {
                       pushToTalk(h);
                       auto microphone = h.platform.permissions.pendingMicrophone.front();
                       microphone(true);
                       microphone(true);
                       h.run();
                       auto speech = h.platform.permissions.pendingSpeech.front();
                       speech(SpeechRecognizerAuthorizationStatus::authorized);
                       speech(SpeechRecognizerAuthorizationStatus::denied);
                   },
                   VoiceState::recording, text::kListeningStarted, {}, true,
                   [](VoiceHarness& h) {
                       EXPECT_EQ(h.platform.permissions.speechRequests, 1);
                       EXPECT_EQ(h.platform.audio.engines.size(), 1u);
                       EXPECT_TRUE(h.platform.alerts.shown.empty());
                   }},
        Transition{"pttMicRefused", idle,
                   [](VoiceHarness& h) {
                       pushToTalk(h);
                       h.answerMicrophone(false);
                   },
                   VoiceState::idle, text::kMicNotAuthorized, {}, false,
                   [](VoiceHarness& h) {
                       permissionAlert("Microphone Needed", "Privacy_Microphone")(h);
                       EXPECT_EQ(h.platform.permissions.speechRequests, 0);
                   }},
        Transition{"pttSpeechDenied", idle,
                   [](VoiceHarness& h) {
                       pushToTalk(h);
                       h.answerMicrophone(true);
                       h.answerSpeech(1);
                   },
                   VoiceState::idle, text::kSpeechNotAuthorized, {}, false,
                   permissionAlert("Speech Recognition Needed", "Privacy_SpeechRecognition")},
        Transition{"pttSpeechUnknownStatusNotNow", [](VoiceHarness& h) { h.platform.alerts.answers = {1001}; },
                   [](VoiceHarness& h) {
                       pushToTalk(h);
                       h.answerMicrophone(true);
                       h.answerSpeech(7);
                   },
                   VoiceState::idle, text::kSpeechNotAuthorized, {}, false,
                   permissionAlert("Speech Recognition Needed", "")},
        Transition{"pttRecognizerUnavailable", [](VoiceHarness& h) { h.platform.speech.recognizer->available = false; },
                   pushToTalkGranted, VoiceState::idle, text::kUnavailable, {}, false},
        Transition{"pttNoRecognitionRequest", [](VoiceHarness& h) { h.platform.speech.makesRequests = false; },
                   pushToTalkGranted, VoiceState::idle, text::kUnavailable, {}, false},
        Transition{"pttEngineRefuses", [](VoiceHarness& h) { h.platform.audio.startOutcomes = {false}; },
                   pushToTalkGranted, VoiceState::idle, text::kMicFailed, {}, false,
                   [](VoiceHarness& h) {
                       EXPECT_FALSE(h.engine().alive);
                       EXPECT_TRUE(h.platform.speech.recognizer->tasks.empty());
                   }},
        Transition{"pttWhileRecordingStopsWithSend", recordingPushToTalk, pushToTalk, VoiceState::recording,
                   text::kTranscribing, {}, false,
                   [](VoiceHarness& h) { EXPECT_EQ(request(h).endAudioCalls, 1); }},
        Transition{"pttWhileDictatingStopsWithSend", recordingDictation, pushToTalk, VoiceState::recording,
                   text::kTranscribing, {}, false},
        Transition{"pttWhileAwaitingCancelsThenStarts", awaitingReply, pushToTalkGranted, VoiceState::recording,
                   text::kListeningStarted, {"clearWatcher"}, true},
        // Dictation toggle.
        Transition{"dictateFromIdleStarts", idle, dictateGranted, VoiceState::recording, text::kListeningStarted,
                   {"clearWatcher", "event:recording"}, true},
        Transition{"dictateRefused", idle,
                   [](VoiceHarness& h) {
                       h.dictate();
                       h.answerMicrophone(false);
                   },
                   VoiceState::idle, text::kMicNotAuthorized, {"clearWatcher", "event:idle"}, false},
        Transition{"dictateSpeechRefused", idle,
                   [](VoiceHarness& h) {
                       h.dictate();
                       h.answerMicrophone(true);
                       h.answerSpeech(1);
                   },
                   VoiceState::idle, text::kSpeechNotAuthorized, {"clearWatcher", "event:idle"}, false},
        Transition{"dictateWhileAwaitingCancelsThenStarts", awaitingReply, dictateGranted, VoiceState::recording,
                   text::kListeningStarted, {"clearWatcher", "clearWatcher", "event:recording"}, true},
        Transition{"dictateWhileDictatingStopsWithoutSend", recordingDictation, [](VoiceHarness& h) { h.dictate(); },
                   VoiceState::recording, text::kCancelled, {"event:transcribing"}, false},
        Transition{"dictateWhilePushToTalkStopsWithSend", recordingPushToTalk, [](VoiceHarness& h) { h.dictate(); },
                   VoiceState::recording, text::kTranscribing, {}, false},
        // Recognizer.
        Transition{"emptyPartialListens", recordingPushToTalk, [](VoiceHarness& h) { h.partial(""); },
                   VoiceState::recording, text::kListening, {}, true},
        Transition{"partialShowsItsText", recordingPushToTalk, [](VoiceHarness& h) { h.partial(" a b "); },
                   VoiceState::recording, "\u25CF  a b ", {}, true},
        Transition{"finalBeforeAnyStopDoesNotSend", recordingPushToTalk, [](VoiceHarness& h) { h.final(kRawHello); },
                   VoiceState::idle, text::kReady, {}, false,
                   [](VoiceHarness& h) {
                       EXPECT_EQ(request(h).endAudioCalls, 1);
                       EXPECT_EQ(h.task().cancelCalls, 1);
                   }},
        Transition{"tapFeedsTheRecordingsRequestUntilItsFinish", recordingPushToTalk,
                   [](VoiceHarness& h) {
                       h.platform.audio.capture(AudioPCMBuffer{{48000, 1}, std::vector<float>(1024, 0.5f)});
                       const AudioTapBlock lateTap = h.engine().tap;  // a buffer already on the audio thread
                       pushToTalk(h);
                       lateTap(AudioPCMBuffer{{48000, 1}, std::vector<float>(256, 0.5f)}, AudioTime{});
                       h.advance(2500);
                       lateTap(AudioPCMBuffer{{48000, 1}, std::vector<float>(256, 0.5f)}, AudioTime{});
                   },
                   VoiceState::idle, "Sending: " + kHello, {"submit"}, false,
                   [](VoiceHarness& h) { EXPECT_EQ(request(h).appendedFrames, 1280u); }},
        Transition{"finalAfterStopSends", stoppedPushToTalk, [](VoiceHarness& h) { h.final(kRawHello); },
                   VoiceState::idle, "Sending: " + kHello, {"submit"}, false},
        Transition{"errorDropsPushToTalk", stoppedPushToTalk,
                   [](VoiceHarness& h) {
                       h.task().fail();
                       h.run();
                   },
                   VoiceState::idle, text::kReady, {}, false},
        Transition{"errorStillInsertsDictation", stoppedDictation,
                   [](VoiceHarness& h) {
                       h.task().fail();
                       h.run();
                   },
                   VoiceState::idle, text::kCancelled, {"insert", "event:idle"}, false},
        Transition{"partialWithErrorShowsThenFinishes", recordingPushToTalk,
                   [](VoiceHarness& h) {
                       h.task().deliver(SpeechRecognitionResult{"x", false}, SpeechRecognitionError{"e"});
                       h.run();
                   },
                   VoiceState::idle, text::kReady, {}, false},
        Transition{"finalWithErrorFinishesWithTheStopValue", stoppedPushToTalk,
                   [](VoiceHarness& h) {
                       h.task().deliver(SpeechRecognitionResult{kRawHello, true}, SpeechRecognitionError{"e"});
                       h.run();
                   },
                   VoiceState::idle, "Sending: " + kHello, {"submit"}, false},
        Transition{"neitherResultNorError", recordingPushToTalk,
                   [](VoiceHarness& h) {
                       h.task().deliver(std::nullopt, std::nullopt);
                       h.run();
                   },
                   VoiceState::recording, "\u25CF " + kRawHello, {}, true},
        // Finalize timer.
        Transition{"timerNotYetDue", stoppedPushToTalk, [](VoiceHarness& h) { h.advance(2499); },
                   VoiceState::recording, text::kTranscribing, {}, false},
        Transition{"timerSendsTheLastPartial", stoppedPushToTalk, [](VoiceHarness& h) { h.advance(2500); },
                   VoiceState::idle, "Sending: " + kHello, {"submit"}, false},
        Transition{"timerFinishesDictation", stoppedDictation, [](VoiceHarness& h) { h.advance(2500); },
                   VoiceState::idle, text::kCancelled, {"insert", "event:idle"}, false},
        // Finish rows that the rows above do not reach.
        Transition{"dictationWithoutSpeech", recordingDictation,
                   [](VoiceHarness& h) {
                       h.partial(" \n\t ");
                       h.dictate();
                       h.advance(2500);
                   },
                   VoiceState::idle, text::kNoSpeech, {"event:transcribing", "event:idle"}, false},
        Transition{"pushToTalkWithoutSpeech", recordingPushToTalk,
                   [](VoiceHarness& h) {
                       h.partial("\n ");
                       pushToTalk(h);
                       h.advance(2500);
                   },
                   VoiceState::idle, text::kReady, {}, false},
        Transition{"sendWithoutWebViewKeepsTheStatus", stoppedPushToTalk,
                   [](VoiceHarness& h) {
                       h.webView.reset();
                       h.final(kRawHello);
                   },
                   VoiceState::idle, "\u25CF " + kRawHello, {}, false},
        Transition{"finishInIdleDoesNothing", submitting, [](VoiceHarness& h) { h.advance(2500); }, VoiceState::idle,
                   "Sending: " + kHello, {}, false},
        // Composer scripts.
        Transition{"submitOkWithReplies", submitting, succeed, VoiceState::awaitingReply, text::kWaiting, {"watcher"},
                   false},
        Transition{"submitOkWithoutReplies", submitting,
                   [](VoiceHarness& h) {
                       h.voice->setSpeakReplies(false);
                       succeed(h);
                   },
                   VoiceState::idle, text::kSentRepliesOff, {}, false},
        Transition{"submitFailed", submitting, fail, VoiceState::idle, text::kComposer, {}, false},
        Transition{"submitError", submitting,
                   [](VoiceHarness& h) { h.completeLast(std::nullopt, ScriptError{"ReferenceError"}); },
                   VoiceState::idle, text::kComposer, {}, false},
        Transition{"submitOkWithoutWebViewWaitsWithoutWatcher", submitting,
                   [](VoiceHarness& h) {
                       auto completion = std::move(h.webView->evaluations.back().completion);
                       h.webView.reset();
                       completion(json{{"ok", true}}, std::nullopt);
                   },
                   VoiceState::awaitingReply, text::kWaiting, {}, false},
        Transition{"insertOk", inserting, succeed, VoiceState::idle, text::kReady, {}, false},
        Transition{"insertFailed", inserting, fail, VoiceState::idle, text::kComposer, {}, false},
        // Reply events.
        Transition{"replyStarted", awaitingReply, [](VoiceHarness& h) { h.replyEvent("replyStarted"); },
                   VoiceState::idle, text::kSpeaking, {}, false},
        Transition{"resetAfterSixSeconds", speaking, [](VoiceHarness& h) { h.advance(6000); }, VoiceState::idle,
                   text::kReady, {}, false},
        Transition{"noResetBeforeSixSeconds", speaking, [](VoiceHarness& h) { h.advance(5999); }, VoiceState::idle,
                   text::kSpeaking, {}, false},
        Transition{"resetSkippedWhileRecording", speaking,
                   [](VoiceHarness& h) {
                       pushToTalkGranted(h);
                       h.advance(6000);
                   },
                   VoiceState::recording, text::kListeningStarted, {}, true},
        Transition{"replyTimeout", awaitingReply, [](VoiceHarness& h) { h.replyEvent("replyTimeout"); },
                   VoiceState::idle, text::kTimeout, {}, false},
        Transition{"replyFailed", awaitingReply, [](VoiceHarness& h) { h.replyEvent("replyFailed"); }, VoiceState::idle,
                   text::kReplyReady, {}, false},
        Transition{"replyEventInIdle", idle, [](VoiceHarness& h) { h.replyEvent("replyFailed"); }, VoiceState::idle,
                   text::kReplyReady, {}, false},
        Transition{"otherEventIgnored", awaitingReply,
                   [](VoiceHarness& h) {
                       h.replyEvent("ReplyStarted");
                       h.voice->handleBridgeEvent({{"type", "voice"}});
                       h.voice->handleBridgeEvent({{"type", "voice"}, {"event", 3}});
                       h.voice->handleBridgeEvent({{"type", "voice"}, {"event", {{"name", "replyStarted"}}}});
                       h.voice->handleBridgeEvent(json::array({"replyStarted"}));
                       h.voice->handleBridgeEvent("replyStarted");
                   },
                   VoiceState::awaitingReply, text::kWaiting, {}, false},
        // A recording started meanwhile owns the state, the status and the microphone.
        Transition{"replyEventsWhileRecording", recordingPushToTalk,
                   [](VoiceHarness& h) {
                       h.replyEvent("replyStarted");
                       h.replyEvent("replyTimeout");
                       h.replyEvent("replyFailed");
                       h.advance(6000);
                   },
                   VoiceState::recording, "\u25CF " + kRawHello, {}, true},
        Transition{"submitCompletionWhileRecording", submitting,
                   [](VoiceHarness& h) {
                       pushToTalkGranted(h);
                       succeed(h);
                   },
                   VoiceState::recording, text::kListeningStarted, {}, true},
        Transition{"submitFailureWhileRecording", submitting,
                   [](VoiceHarness& h) {
                       pushToTalkGranted(h);
                       fail(h);
                   },
                   VoiceState::recording, text::kListeningStarted, {}, true},
        Transition{"insertCompletionWhileRecording", inserting,
                   [](VoiceHarness& h) {
                       pushToTalkGranted(h);
                       fail(h);
                   },
                   VoiceState::recording, text::kListeningStarted, {}, true},
        // Starts that fail, and dictations that are not what they seem.
        Transition{"pttNoRecognizerAtAll",
                   [](VoiceHarness& h) {
                       h.platform.speech.recognizer = nullptr;
                       h.makeController();
                   },
                   pushToTalkGranted, VoiceState::idle, text::kUnavailable, {}, false},
        Transition{"dictationThatFailsToStartIsNoDictation",
                   [](VoiceHarness& h) {
                       h.platform.audio.startOutcomes = {false};
                       dictateGranted(h);
                   },
                   [](VoiceHarness& h) {
                       pushToTalkGranted(h);
                       pushToTalk(h);
                       h.final(kRawHello);
                   },
                   VoiceState::idle, "Sending: " + kHello, {"submit"}, false},
        Transition{"dictationGrantedWhilePushToTalkRecordsStaysPushToTalk",
                   [](VoiceHarness& h) {
                       h.dictate();
                       auto answer = std::move(h.platform.permissions.pendingMicrophone.front());
                       h.platform.permissions.pendingMicrophone.pop_front();
                       h.startPushToTalk();
                       answer(true);  // the user was slow to answer the dictation's request
                       h.run();
                       h.answerSpeech(3);
                   },
                   [](VoiceHarness& h) {
                       pushToTalk(h);
                       h.final(kRawHello);
                   },
                   VoiceState::idle, "Sending: " + kHello, {"submit"}, false},
        Transition{"dictationStoppedByPushToTalkInsertsWithoutTranscribingEvent", recordingDictation,
                   [](VoiceHarness& h) {
                       pushToTalk(h);
                       h.final(kRawHello);
                   },
                   VoiceState::idle, "\u25CF " + kRawHello, {"insert", "event:idle"}, false},
        Transition{"finalQueuedBeforeTheStopReadsTheStopWhenHandled", recordingPushToTalk,
                   [](VoiceHarness& h) {
                       h.task().final(kRawHello);  // on the main queue, not yet handled
                       pushToTalk(h);
                       h.run();
                   },
                   VoiceState::idle, "Sending: " + kHello, {"submit"}, false},
        Transition{"secondStopStartsTheTimerOverWithItsOwnSendValue", recordingDictation,
                   [](VoiceHarness& h) {
                       pushToTalk(h);
                       h.advance(2000);
                       h.dictate();
                       h.advance(2499);
                   },
                   VoiceState::recording, text::kCancelled, {"event:transcribing"}, false},
        Transition{"resetReplacesAnyIdleText", speaking,
                   [](VoiceHarness& h) {
                       h.advance(1000);
                       h.replyEvent("replyTimeout");
                       h.advance(5000);
                   },
                   VoiceState::idle, text::kReady, {}, false},
        Transition{"resetSkippedWhileAwaitingTheNextReply", speaking,
                   [](VoiceHarness& h) {
                       h.advance(1000);
                       h.sendMessage("hello there");
                       h.advance(5000);
                   },
                   VoiceState::awaitingReply, text::kWaiting, {"submit", "watcher"}, false}),
    [](const ::testing::TestParamInfo<Transition>& param) { return std::string(param.param.name); });

}  // namespace
