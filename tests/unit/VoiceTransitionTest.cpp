#include <gtest/gtest.h>

#include <functional>

#include "unit/VoiceHarness.h"

using namespace pelko;
using namespace pelko::test;
using nlohmann::json;

namespace {

using Step = std::function<void(VoiceHarness&)>;

// What happens to the controller, one thing at a time; each runs the main queue after it.
template <typename... Steps>
Step seq(Steps... steps) {
    return [=](VoiceHarness& h) { (steps(h), ...); };
}
Step act(std::function<void(VoiceHarness&)> f) {
    return [f](VoiceHarness& h) {
        f(h);
        h.run();
    };
}
const Step idle = [](VoiceHarness&) {};
const Step ptt = act([](VoiceHarness& h) { h.voice->togglePushToTalk(); });
const Step dictate = act([](VoiceHarness& h) { h.dictate(); });
Step mic(bool granted) { return act([=](VoiceHarness& h) { h.platform.permissions.answerMicrophone(granted); }); }
Step speech(int status) { return act([=](VoiceHarness& h) { h.platform.permissions.answerSpeech(status); }); }
const Step grant = seq(mic(true), speech(3));
Step deliver(std::optional<SpeechRecognitionResult> result, std::optional<SpeechRecognitionError> error = std::nullopt) {
    return act([=](VoiceHarness& h) { h.task().deliver(result, error); });
}
Step partial(const std::string& text) { return deliver(SpeechRecognitionResult{text, false}); }
Step final(const std::string& text) { return deliver(SpeechRecognitionResult{text, true}); }
const Step failTask = deliver(std::nullopt, SpeechRecognitionError{"e"});
Step after(int ms) { return [=](VoiceHarness& h) { h.advance(ms); }; }
Step reply(const std::string& event) { return act([=](VoiceHarness& h) { h.replyEvent(event); }); }
Step complete(std::optional<json> result, std::optional<ScriptError> error = std::nullopt) {
    return [=](VoiceHarness& h) { EXPECT_TRUE(h.completeLast(result, error)) << "no script waits for its completion"; };
}
const Step succeed = complete(json{{"ok", true}});
const Step fail = complete(json{{"ok", false}, {"reason", "no-textarea"}});

const std::string kHello = "hello there";
const std::string kRawHello = "  hello there\n";

// Where a row starts.
const Step recordingPushToTalk = seq(ptt, grant, partial(kRawHello));
const Step recordingDictation = seq(dictate, grant, partial(kRawHello));
const Step stoppedPushToTalk = seq(recordingPushToTalk, ptt);
const Step stoppedDictation = seq(recordingDictation, dictate);
const Step submitting = seq(stoppedPushToTalk, final(kRawHello));
const Step inserting = seq(stoppedDictation, final(kRawHello));
const Step awaitingReply = seq(submitting, succeed);
const Step speaking = seq(awaitingReply, reply("replyStarted"));

// A script the controller evaluated, named for the table.
std::string describe(const std::string& script) {
    if (script == kClearWatcherScript) return "clearWatcher";
    if (script == replyWatcherScript()) return "watcher";
    if (script == silencePageScript()) return "silence";
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
    for (std::size_t i = before; h.webView && i < h.webView->evaluations.size(); ++i)
        described.push_back(describe(h.webView->evaluations[i].script));
    EXPECT_EQ(described, row.scripts);
    EXPECT_EQ(h.platform.audio.anyCapturing(), row.capturing);
    if (row.also) row.also(h);
}

const std::string kMicrophoneText =
    "Pelko uses the microphone for push-to-talk voice messages. macOS only lists an app under Privacy & Security "
    "\u2192 Microphone after the app asks \u2014 turn Pelko on there, then press the shortcut again.";
const std::string kSpeechText =
    "Pelko uses speech recognition to turn push-to-talk voice messages into text. Enable it in System Settings "
    "\u2192 Privacy & Security \u2192 Speech Recognition, then try again.";
const Step pushToTalkGranted = seq(ptt, grant);
const Step dictateGranted = seq(dictate, grant);
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
        EXPECT_EQ(h.platform.permissions.speechRequests, title == "Microphone Needed" ? 0 : 1);
    };
}


INSTANTIATE_TEST_SUITE_P(
    Table, VoiceTransitions,
    ::testing::Values(
        // Push-to-talk toggle.
        Transition{"pttFromIdleStarts", [](VoiceHarness& h) { h.platform.audio.inputFormat = {44100, 2}; },
                   pushToTalkGranted, VoiceState::recording, text::kListeningStarted, {"silence"}, true,
                   [](VoiceHarness& h) {
                       EXPECT_EQ(request(h).partialResults, std::optional(true));
                       EXPECT_EQ(request(h).requiresOnDevice, std::optional(true));
                       EXPECT_EQ(h.engine().tapBus, 0);
                       EXPECT_EQ(h.engine().tapBufferSize, 1024u);
                       EXPECT_EQ(h.engine().tapFormat, (AudioFormat{44100, 2}));
                   }},
        Transition{"pttRecognizerNotOnDevice", [](VoiceHarness& h) { h.platform.speech.recognizer->onDevice = false; },
                   pushToTalkGranted, VoiceState::recording, text::kListeningStarted, {"silence"}, true,
                   [](VoiceHarness& h) { EXPECT_EQ(request(h).requiresOnDevice, std::nullopt); }},
        Transition{"permissionAnswersRepeatedCountOnce", idle,
                   seq(ptt, act([](VoiceHarness& h) {
                           auto microphone = h.platform.permissions.pendingMicrophone.front();
                           microphone(true), microphone(true);
                       }),
                       act([](VoiceHarness& h) {
                           auto speech = h.platform.permissions.pendingSpeech.front();
                           speech(SpeechRecognizerAuthorizationStatus::authorized);
                           speech(SpeechRecognizerAuthorizationStatus::denied);
                       })),
                   VoiceState::recording, text::kListeningStarted, {"silence"}, true,
                   [](VoiceHarness& h) {
                       EXPECT_EQ(h.platform.permissions.speechRequests, 1);
                       EXPECT_EQ(h.platform.audio.engines.size(), 1u);
                       EXPECT_TRUE(h.platform.alerts.shown.empty());
                   }},
        Transition{"pttMicRefused", idle, seq(ptt, mic(false)), VoiceState::idle, text::kMicNotAuthorized, {}, false,
                   permissionAlert("Microphone Needed", "Privacy_Microphone")},
        Transition{"pttSpeechDenied", idle, seq(ptt, mic(true), speech(1)), VoiceState::idle, text::kSpeechNotAuthorized,
                   {}, false, permissionAlert("Speech Recognition Needed", "Privacy_SpeechRecognition")},
        Transition{"pttSpeechUnknownStatusNotNow", [](VoiceHarness& h) { h.platform.alerts.answers = {1001}; },
                   seq(ptt, mic(true), speech(7)), VoiceState::idle, text::kSpeechNotAuthorized, {}, false,
                   permissionAlert("Speech Recognition Needed", "")},
        Transition{"pttRecognizerUnavailable", [](VoiceHarness& h) { h.platform.speech.recognizer->available = false; },
                   pushToTalkGranted, VoiceState::idle, text::kUnavailable, {}, false},
        Transition{"pttNoRecognizerAtAll",
                   [](VoiceHarness& h) {
                       h.platform.speech.recognizer = nullptr;
                       h.makeController();
                   },
                   pushToTalkGranted, VoiceState::idle, text::kUnavailable, {}, false},
        Transition{"pttNoRecognitionRequest", [](VoiceHarness& h) { h.platform.speech.makesRequests = false; },
                   pushToTalkGranted, VoiceState::idle, text::kUnavailable, {}, false},
        Transition{"pttEngineRefuses", [](VoiceHarness& h) { h.platform.audio.startOutcomes = {false}; },
                   pushToTalkGranted, VoiceState::idle, text::kMicFailed, {"silence"}, false,
                   [](VoiceHarness& h) {
                       EXPECT_FALSE(h.engine().alive);
                       EXPECT_TRUE(h.platform.speech.recognizer->tasks.empty());
                   }},
        Transition{"pttNoAudioEngine", [](VoiceHarness& h) { h.platform.audio.makesEngines = false; },
                   pushToTalkGranted, VoiceState::idle, text::kMicFailed, {}, false},
        // No usable input device: a format of nothing, or a tap the platform refuses.
        Transition{"pttNoInputSampleRate", [](VoiceHarness& h) { h.platform.audio.inputFormat = {0, 1}; },
                   pushToTalkGranted, VoiceState::idle, text::kMicFailed, {}, false,
                   [](VoiceHarness& h) { EXPECT_FALSE(h.platform.audio.anyCapturing()); }},
        Transition{"pttNoInputChannels", [](VoiceHarness& h) { h.platform.audio.inputFormat = {48000, 0}; },
                   pushToTalkGranted, VoiceState::idle, text::kMicFailed, {}, false,
                   [](VoiceHarness& h) { EXPECT_FALSE(h.platform.audio.anyCapturing()); }},
        Transition{"dictationTapRefused", [](VoiceHarness& h) { h.platform.audio.tapsSucceed = false; },
                   dictateGranted, VoiceState::idle, text::kMicFailed, {"clearWatcher", "event:idle"}, false,
                   [](VoiceHarness& h) {
                       EXPECT_FALSE(h.platform.audio.anyCapturing());
                       EXPECT_TRUE(h.platform.speech.recognizer->tasks.empty());
                   }},
        // The page falls silent as a recording starts; nothing comes back from that script.
        Transition{"silencingThePageLeavesNothingToFail", idle, dictateGranted, VoiceState::recording,
                   text::kListeningStarted, {"clearWatcher", "silence", "event:recording"}, true,
                   [](VoiceHarness& h) {
                       for (const auto& evaluation : h.webView->evaluations) {
                           if (evaluation.script == silencePageScript()) {
                               EXPECT_FALSE(evaluation.completion);
                           }
                       }
                   }},
        Transition{"noPageToSilenceStillRecords", idle,
                   seq([](VoiceHarness& h) { h.webView.reset(); }, pushToTalkGranted), VoiceState::recording,
                   text::kListeningStarted, {}, true},
        Transition{"pttWhileRecordingStopsWithSend", recordingPushToTalk, ptt, VoiceState::recording,
                   text::kTranscribing, {}, false, [](VoiceHarness& h) { EXPECT_EQ(request(h).endAudioCalls, 1); }},
        Transition{"pttWhileAwaitingCancelsThenStarts", awaitingReply, pushToTalkGranted, VoiceState::recording,
                   text::kListeningStarted, {"clearWatcher", "silence"}, true},
        // The task of a recording that has finished can still report: none of it reaches the next one.
        Transition{"anEarlierRecordingsWordsAndEndAreNotTheNextOnes", seq(awaitingReply, pushToTalkGranted),
                   act([](VoiceHarness& h) {
                       auto& earlier = *h.platform.speech.recognizer->tasks.front();
                       earlier.partial("old words");
                       earlier.final("old words");
                   }),
                   VoiceState::recording, text::kListeningStarted, {}, true},
        // Dictation toggle.
        Transition{"dictateFromIdleStarts", idle, dictateGranted, VoiceState::recording, text::kListeningStarted,
                   {"clearWatcher", "silence", "event:recording"}, true},
        Transition{"dictateRefused", idle, seq(dictate, mic(false)), VoiceState::idle, text::kMicNotAuthorized,
                   {"clearWatcher", "event:idle"}, false},
        Transition{"dictateSpeechRefused", idle, seq(dictate, mic(true), speech(1)), VoiceState::idle,
                   text::kSpeechNotAuthorized, {"clearWatcher", "event:idle"}, false},
        Transition{"dictateWhileAwaitingCancelsThenStarts", awaitingReply, dictateGranted, VoiceState::recording,
                   text::kListeningStarted, {"clearWatcher", "clearWatcher", "silence", "event:recording"}, true},
        Transition{"dictateWhileDictatingStopsWithoutSend", recordingDictation, dictate, VoiceState::recording,
                   text::kCancelled, {"event:transcribing"}, false},
        Transition{"dictateWhilePushToTalkStopsWithSend", recordingPushToTalk, dictate, VoiceState::recording,
                   text::kTranscribing, {}, false},
        // Dictations that are not what they seem.
        Transition{"dictationThatFailsToStartIsNoDictation",
                   seq([](VoiceHarness& h) { h.platform.audio.startOutcomes = {false}; }, dictateGranted),
                   seq(pushToTalkGranted, ptt, final(kRawHello)), VoiceState::idle, "Sending: " + kHello,
                   {"silence", "submit"}, false},
        Transition{"dictationGrantedWhilePushToTalkRecordsStaysPushToTalk",
                   seq(dictate,
                       [](VoiceHarness& h) {
                           // The user is slow to answer the dictation's request; push-to-talk starts meanwhile.
                           auto answer = std::move(h.platform.permissions.pendingMicrophone.front());
                           h.platform.permissions.pendingMicrophone.pop_front();
                           pushToTalkGranted(h);
                           answer(true);
                           h.run();
                       },
                       speech(3)),
                   seq(ptt, final(kRawHello)), VoiceState::idle, "Sending: " + kHello, {"submit"}, false},
        Transition{"dictationStoppedByPushToTalkInsertsWithoutTranscribingEvent", recordingDictation,
                   seq(ptt, final(kRawHello)), VoiceState::idle, "\u25CF " + kRawHello, {"insert", "event:idle"},
                   false},
        // Recognizer.
        Transition{"emptyPartialListens", recordingPushToTalk, partial(""), VoiceState::recording, text::kListening, {},
                   true},
        Transition{"partialShowsItsText", recordingPushToTalk, partial(" a b "), VoiceState::recording, "\u25CF  a b ",
                   {}, true},
        Transition{"finalBeforeAnyStopDoesNotSend", recordingPushToTalk, final(kRawHello), VoiceState::idle,
                   text::kReady, {}, false,
                   [](VoiceHarness& h) {
                       EXPECT_EQ(request(h).endAudioCalls, 1);
                       EXPECT_EQ(h.task().cancelCalls, 1);
                   }},
        Transition{"tapFeedsTheRecordingsRequestUntilItsFinish", recordingPushToTalk,
                   [](VoiceHarness& h) {
                       const AudioPCMBuffer buffer{{48000, 1}, std::vector<float>(256, 0.5f), nullptr};
                       h.platform.audio.capture(buffer);
                       const AudioTapBlock lateTap = h.engine().tap;  // a buffer already on the audio thread
                       ptt(h);
                       lateTap(buffer, AudioTime{});
                       h.advance(2500);
                       lateTap(buffer, AudioTime{});
                   },
                   VoiceState::idle, "Sending: " + kHello, {"submit"}, false,
                   [](VoiceHarness& h) { EXPECT_EQ(request(h).appendedFrames, 512u); }},
        Transition{"finalAfterStopSends", stoppedPushToTalk, final(kRawHello), VoiceState::idle, "Sending: " + kHello,
                   {"submit"}, false},
        Transition{"finalQueuedBeforeTheStopReadsTheStopWhenHandled", recordingPushToTalk,
                   [](VoiceHarness& h) {
                       h.task().final(kRawHello);  // on the main queue, not yet handled
                       ptt(h);
                   },
                   VoiceState::idle, "Sending: " + kHello, {"submit"}, false},
        Transition{"errorDropsPushToTalk", stoppedPushToTalk, failTask, VoiceState::idle, text::kReady, {}, false},
        Transition{"errorStillInsertsDictation", stoppedDictation, failTask, VoiceState::idle, text::kCancelled,
                   {"insert", "event:idle"}, false},
        Transition{"partialWithErrorShowsThenFinishes", recordingPushToTalk,
                   deliver(SpeechRecognitionResult{"x", false}, SpeechRecognitionError{"e"}), VoiceState::idle,
                   text::kReady, {}, false},
        Transition{"finalWithErrorFinishesWithTheStopValue", stoppedPushToTalk,
                   deliver(SpeechRecognitionResult{kRawHello, true}, SpeechRecognitionError{"e"}), VoiceState::idle,
                   "Sending: " + kHello, {"submit"}, false},
        Transition{"neitherResultNorError", recordingPushToTalk, deliver(std::nullopt), VoiceState::recording,
                   "\u25CF " + kRawHello, {}, true},
        // Finalize timer.
        Transition{"timerNotYetDue", stoppedPushToTalk, after(2499), VoiceState::recording, text::kTranscribing, {},
                   false},
        Transition{"timerSendsTheLastPartial", stoppedPushToTalk, after(2500), VoiceState::idle, "Sending: " + kHello,
                   {"submit"}, false},
        Transition{"timerFinishesDictation", stoppedDictation, after(2500), VoiceState::idle, text::kCancelled,
                   {"insert", "event:idle"}, false},
        Transition{"secondStopStartsTheTimerOverWithItsOwnSendValue", recordingDictation,
                   seq(ptt, after(2000), dictate, after(2499)), VoiceState::recording, text::kCancelled,
                   {"event:transcribing"}, false},
        Transition{"dictationWithoutSpeech", recordingDictation, seq(partial(" \n\t "), dictate, after(2500)),
                   VoiceState::idle, text::kNoSpeech, {"event:transcribing", "event:idle"}, false},
        Transition{"pushToTalkWithoutSpeech", recordingPushToTalk, seq(partial("\n "), ptt, after(2500)),
                   VoiceState::idle, text::kReady, {}, false},
        Transition{"sendWithoutWebViewKeepsTheStatus", stoppedPushToTalk,
                   seq([](VoiceHarness& h) { h.webView.reset(); }, final(kRawHello)), VoiceState::idle,
                   "\u25CF " + kRawHello, {}, false},
        // Composer scripts.
        Transition{"submitOkWithReplies", submitting, succeed, VoiceState::awaitingReply, text::kWaiting, {"watcher"},
                   false},
        Transition{"submitOkWithoutRepliesReadsTheSettingNow", submitting,
                   seq([](VoiceHarness& h) { h.voice->setSpeakReplies(false); }, succeed), VoiceState::idle,
                   text::kSentRepliesOff, {}, false},
        Transition{"submitFailed", submitting, fail, VoiceState::idle, text::kComposer, {}, false},
        Transition{"submitError", submitting,
                   complete(std::nullopt, ScriptError{"ReferenceError"}),
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
        Transition{"pushToTalkAfterADictationSends", seq(inserting, succeed), seq(stoppedPushToTalk, final(kRawHello)),
                   VoiceState::idle, "Sending: " + kHello, {"silence", "submit"}, false},
        // Reply events.
        Transition{"replyStarted", awaitingReply, reply("replyStarted"), VoiceState::idle, text::kSpeaking, {}, false},
        Transition{"resetAfterSixSeconds", speaking, after(6000), VoiceState::idle, text::kReady, {}, false},
        Transition{"noResetBeforeSixSeconds", speaking, after(5999), VoiceState::idle, text::kSpeaking, {}, false},
        Transition{"resetReplacesAnyIdleText", speaking, seq(after(1000), reply("replyTimeout"), after(5000)),
                   VoiceState::idle, text::kReady, {}, false},
        Transition{"resetSkippedWhileRecording", speaking, seq(pushToTalkGranted, after(6000)), VoiceState::recording,
                   text::kListeningStarted, {"silence"}, true},
        Transition{"resetSkippedWhileAwaitingTheNextReply", speaking, seq(after(1000), submitting, succeed, after(5000)),
                   VoiceState::awaitingReply, text::kWaiting, {"silence", "submit", "watcher"}, false},
        Transition{"replyTimeout", awaitingReply, reply("replyTimeout"), VoiceState::idle, text::kTimeout, {}, false},
        Transition{"replyFailed", awaitingReply, reply("replyFailed"), VoiceState::idle, text::kReplyReady, {}, false},
        Transition{"replyEventInIdle", idle, reply("replyFailed"), VoiceState::idle, text::kReplyReady, {}, false},
        Transition{"otherEventIgnored", awaitingReply,
                   [](VoiceHarness& h) {
                       h.replyEvent("ReplyStarted");
                       for (const json& other : {json{{"type", "voice"}}, json{{"event", 3}},
                                                 json{{"event", {{"name", "replyStarted"}}}},
                                                 json::array({"replyStarted"}), json("replyStarted")})
                           h.voice->handleBridgeEvent(other);
                   },
                   VoiceState::awaitingReply, text::kWaiting, {}, false},
        // A recording started meanwhile owns the state, the status and the microphone.
        Transition{"replyEventsWhileRecording", recordingPushToTalk,
                   seq(reply("replyStarted"), reply("replyTimeout"), reply("replyFailed"), after(6000)),
                   VoiceState::recording, "\u25CF " + kRawHello, {}, true},
        Transition{"submitCompletionWhileRecording", submitting, seq(pushToTalkGranted, succeed), VoiceState::recording,
                   text::kListeningStarted, {"silence"}, true},
        Transition{"submitFailureWhileRecording", submitting, seq(pushToTalkGranted, fail), VoiceState::recording,
                   text::kListeningStarted, {"silence"}, true},
        Transition{"insertCompletionWhileRecording", inserting, seq(pushToTalkGranted, fail), VoiceState::recording,
                   text::kListeningStarted, {"silence"}, true}),
    [](const ::testing::TestParamInfo<Transition>& param) { return std::string(param.param.name); });

}  // namespace
