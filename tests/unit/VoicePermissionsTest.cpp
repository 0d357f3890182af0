#include <gtest/gtest.h>

#include "unit/VoiceHarness.h"

using namespace pelko;
using namespace pelko::test;

namespace {

const std::string kMicText =
    "Pelko uses the microphone for push-to-talk voice messages. macOS only lists an app under Privacy & Security "
    "\u2192 Microphone after the app asks \u2014 turn Pelko on there, then press the shortcut again.";
const std::string kSpeechText =
    "Pelko uses speech recognition to turn push-to-talk voice messages into text. Enable it in System Settings "
    "\u2192 Privacy & Security \u2192 Speech Recognition, then try again.";
const std::vector<std::string> kButtons{"Open Settings", "Not Now"};

TEST(VoicePermissions, AsksMicrophoneThenSpeechAndRecordsOnlyAfterBoth) {
    VoiceHarness h;
    h.voice->togglePushToTalk();
    EXPECT_EQ(h.platform.permissions.microphoneRequests, 1);
    EXPECT_EQ(h.platform.permissions.speechRequests, 0);

    // The answer comes on a platform queue and touches nothing before it reaches the main queue.
    ASSERT_TRUE(h.platform.permissions.answerMicrophone(true));
    EXPECT_EQ(h.platform.permissions.speechRequests, 0);
    h.run();
    EXPECT_EQ(h.platform.permissions.speechRequests, 1);

    ASSERT_TRUE(h.platform.permissions.answerSpeech(3));
    EXPECT_TRUE(h.platform.audio.engines.empty());
    h.run();
    EXPECT_EQ(h.voice->state(), VoiceState::recording);
    EXPECT_TRUE(h.platform.alerts.shown.empty());
}

TEST(VoicePermissions, MicrophoneRefusedShowsItsAlertAndNeverAsksForSpeech) {
    VoiceHarness h;
    h.platform.alerts.answers = {1001};  // "Not Now"
    h.voice->togglePushToTalk();
    h.answerMicrophone(false);

    EXPECT_EQ(h.platform.permissions.speechRequests, 0);
    EXPECT_EQ(h.voice->status(), text::kMicNotAuthorized);
    EXPECT_EQ(h.voice->state(), VoiceState::idle);
    ASSERT_EQ(h.platform.alerts.shown.size(), 1u);
    EXPECT_EQ(h.platform.alerts.shown[0].title, "Microphone Needed");
    EXPECT_EQ(h.platform.alerts.shown[0].message, kMicText);
    EXPECT_EQ(h.platform.alerts.shown[0].buttons, kButtons);
    EXPECT_TRUE(h.platform.workspace.openedURLs.empty());
    EXPECT_TRUE(h.platform.audio.engines.empty());
}

struct RefusedStatus {
    const char* name;
    int status;
};

class SpeechRefused : public ::testing::TestWithParam<RefusedStatus> {};

TEST_P(SpeechRefused, ShowsTheSpeechAlertAndDoesNotRecord) {
    VoiceHarness h;
    h.platform.alerts.answers = {1001};
    h.voice->togglePushToTalk();
    h.answerMicrophone(true);
    h.answerSpeech(GetParam().status);

    EXPECT_EQ(h.voice->status(), text::kSpeechNotAuthorized);
    EXPECT_EQ(h.voice->state(), VoiceState::idle);
    ASSERT_EQ(h.platform.alerts.shown.size(), 1u);
    EXPECT_EQ(h.platform.alerts.shown[0].title, "Speech Recognition Needed");
    EXPECT_EQ(h.platform.alerts.shown[0].message, kSpeechText);
    EXPECT_EQ(h.platform.alerts.shown[0].buttons, kButtons);
    EXPECT_TRUE(h.platform.audio.engines.empty());
}

INSTANTIATE_TEST_SUITE_P(Statuses, SpeechRefused,
                         ::testing::Values(RefusedStatus{"notDetermined", 0}, RefusedStatus{"denied", 1},
                                           RefusedStatus{"restricted", 2}, RefusedStatus{"unknownValue", 7},
                                           RefusedStatus{"negative", -1}),
                         [](const ::testing::TestParamInfo<RefusedStatus>& param) { return param.param.name; });

struct SettingsCase {
    const char* name;
    bool microphoneRefused;
    int answer;
    std::vector<std::string> opened;
};

class SettingsButton : public ::testing::TestWithParam<SettingsCase> {};

TEST_P(SettingsButton, OpensThePaneOnlyForOpenSettings) {
    const SettingsCase& c = GetParam();
    VoiceHarness h;
    h.platform.alerts.answers = {c.answer};
    h.voice->togglePushToTalk();
    if (c.microphoneRefused) {
        h.answerMicrophone(false);
    } else {
        h.answerMicrophone(true);
        h.answerSpeech(1);
    }
    EXPECT_EQ(h.platform.workspace.openedURLs, c.opened);
    // "Not Now" leaves the refusal in the status line.
    EXPECT_EQ(h.voice->status(), c.microphoneRefused ? text::kMicNotAuthorized : text::kSpeechNotAuthorized);
}

INSTANTIATE_TEST_SUITE_P(
    Answers, SettingsButton,
    ::testing::Values(
        SettingsCase{"microphoneOpen", true, 1000,
                     {"x-apple.systempreferences:com.apple.preference.security?Privacy_Microphone"}},
        SettingsCase{"speechOpen", false, 1000,
                     {"x-apple.systempreferences:com.apple.preference.security?Privacy_SpeechRecognition"}},
        SettingsCase{"microphoneNotNow", true, 1001, {}}, SettingsCase{"speechNotNow", false, 1001, {}},
        SettingsCase{"alertDismissedOtherwise", true, -1, {}}),
    [](const ::testing::TestParamInfo<SettingsCase>& param) { return param.param.name; });

TEST(VoicePermissions, EveryPressWhileRefusedAsksAgainAndShowsTheAlertAgain) {
    VoiceHarness h;
    for (int press = 1; press <= 3; ++press) {
        h.voice->togglePushToTalk();
        h.answerMicrophone(false);
        EXPECT_EQ(h.platform.permissions.microphoneRequests, press);
        EXPECT_EQ(h.platform.alerts.shown.size(), static_cast<std::size_t>(press));
    }
}

class ReleasedBeforeMicrophoneAnswer : public ::testing::TestWithParam<bool> {};

TEST_P(ReleasedBeforeMicrophoneAnswer, NothingHappens) {
    VoiceHarness h;
    h.voice->togglePushToTalk();
    std::weak_ptr<VoiceController> weak = h.voice;
    h.voice.reset();
    EXPECT_TRUE(weak.expired());  // a pending request does not keep it
    const std::size_t statusesBefore = h.statuses.size();

    ASSERT_TRUE(h.platform.permissions.answerMicrophone(GetParam()));
    h.run();
    EXPECT_EQ(h.statuses.size(), statusesBefore);
    EXPECT_TRUE(h.platform.alerts.shown.empty());
    EXPECT_EQ(h.platform.permissions.speechRequests, 0);
    EXPECT_TRUE(h.platform.audio.engines.empty());
}

INSTANTIATE_TEST_SUITE_P(Answers, ReleasedBeforeMicrophoneAnswer, ::testing::Values(false, true));

TEST(VoicePermissions, SpeechAnswerKeepsTheControllerUntilItHasRunAndLeavesNoMicrophoneOn) {
    VoiceHarness h;
    h.voice->togglePushToTalk();
    h.answerMicrophone(true);
    std::weak_ptr<VoiceController> weak = h.voice;
    h.voice.reset();
    EXPECT_FALSE(weak.expired());
    h.answerSpeech(3);
    EXPECT_TRUE(weak.expired());
    EXPECT_FALSE(h.platform.audio.anyCapturing());
    for (const auto& task : h.platform.speech.recognizer->tasks) EXPECT_EQ(task->cancelCalls, 1);
}

TEST(VoicePermissions, AnswersRepeatedByThePlatformCountOnce) {
    VoiceHarness h;
    h.voice->togglePushToTalk();
    auto microphone = h.platform.permissions.pendingMicrophone.front();
    microphone(true);
    microphone(true);
    h.run();
    EXPECT_EQ(h.platform.permissions.speechRequests, 1);

    auto speech = h.platform.permissions.pendingSpeech.front();
    speech(SpeechRecognizerAuthorizationStatus::authorized);
    speech(SpeechRecognizerAuthorizationStatus::denied);
    h.run();
    EXPECT_EQ(h.voice->state(), VoiceState::recording);
    EXPECT_EQ(h.platform.audio.engines.size(), 1u);
    EXPECT_TRUE(h.platform.alerts.shown.empty());
    EXPECT_EQ(h.voice->status(), text::kListeningStarted);
}

}  // namespace
