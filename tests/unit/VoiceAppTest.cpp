#include <gtest/gtest.h>

#include "fakes/TestApp.h"
#include "unit/VoiceHarness.h"

using namespace pelko;
using namespace pelko::test;
using nlohmann::json;

namespace {

constexpr std::uint64_t kCtrlShift = kModifierControl | kModifierShift;

struct LaunchedApp {
    TestApp t;
    LaunchedApp() { t.launch(); }
    MenuItem& item(const std::string& title) { return *t.platform.application.menuItem(title); }
    void grant() {
        ASSERT_TRUE(t.platform.permissions.answerMicrophone(true));
        t.platform.mainQueue.runUntilIdle();
        ASSERT_TRUE(t.platform.permissions.answerSpeech(3));
        t.platform.mainQueue.runUntilIdle();
    }
};

struct StoredSetting {
    const char* name;
    std::optional<json> stored;
    bool speak;
};

class SpeakRepliesDefault : public ::testing::TestWithParam<StoredSetting> {};

TEST_P(SpeakRepliesDefault, ReadsTheStoredBooleanOrTrue) {
    VoiceHarness h;
    if (GetParam().stored) h.platform.userDefaults.values["voiceSpeakReplies"] = *GetParam().stored;
    EXPECT_EQ(h.voice->speakReplies(), GetParam().speak);
}

INSTANTIATE_TEST_SUITE_P(Stored, SpeakRepliesDefault,
                         ::testing::Values(StoredSetting{"absent", std::nullopt, true},
                                           StoredSetting{"storedFalse", json(false), false},
                                           StoredSetting{"storedTrue", json(true), true},
                                           StoredSetting{"string", json("false"), true},
                                           StoredSetting{"zero", json(0), true},
                                           StoredSetting{"null", json(nullptr), true},
                                           StoredSetting{"object", json::object({{"value", false}}), true}),
                         [](const ::testing::TestParamInfo<StoredSetting>& param) { return param.param.name; });

TEST(SpeakReplies, IsReadWhenTheSubmitCompletesNotWhenItStarts) {
    VoiceHarness h;
    h.startPushToTalk();
    h.voice->togglePushToTalk();
    h.final("hi");
    h.platform.userDefaults.values["voiceSpeakReplies"] = false;
    h.completeLast(json{{"ok", true}});
    EXPECT_EQ(h.voice->status(), text::kSentRepliesOff);
    EXPECT_EQ(h.scripts().back(), composerSubmitScript("hi"));  // no watcher
}

TEST(ReplyReset, ReplacesAnyIdleTextButNotANewWait) {
    VoiceHarness h;
    h.sendMessage("first");
    h.replyEvent("replyStarted");
    h.advance(1000);
    h.replyEvent("replyTimeout");
    h.advance(5000);
    EXPECT_EQ(h.voice->status(), text::kReady);  // still idle: the reset is never cancelled

    h.replyEvent("replyStarted");
    h.advance(1000);
    h.sendMessage("second");
    h.advance(5000);
    EXPECT_EQ(h.voice->state(), VoiceState::awaitingReply);
    EXPECT_EQ(h.voice->status(), text::kWaiting);
}

TEST(ReplyReset, DoesNothingOnceTheControllerIsGone) {
    VoiceHarness h;
    h.replyEvent("replyStarted");
    const std::size_t count = h.statuses.size();
    h.voice.reset();
    h.advance(6000);
    EXPECT_EQ(h.statuses.size(), count);
}

TEST(VoiceMenu, SpeakRepliesToggleFlipsTheCheckMarkAndTheStoredValue) {
    LaunchedApp a;
    a.t.platform.userDefaults.values["voiceSpeakReplies"] = "garbage";
    MenuItem& item = a.item("Speak Replies Automatically");
    EXPECT_EQ(item.state(), MenuItemState::on);

    a.t.app->performMenuAction(MenuAction::speakRepliesToggled, item, false);
    EXPECT_EQ(item.state(), MenuItemState::off);
    EXPECT_EQ(a.t.platform.userDefaults.values["voiceSpeakReplies"], json(false));
    a.t.app->performMenuAction(MenuAction::speakRepliesToggled, item, false);
    EXPECT_EQ(item.state(), MenuItemState::on);
    EXPECT_EQ(a.t.platform.userDefaults.values["voiceSpeakReplies"], json(true));
}

TEST(VoiceMenu, MenuIsBuiltFromTheStoredSetting) {
    TestApp t;
    t.platform.userDefaults.values["voiceSpeakReplies"] = false;
    t.launch();
    EXPECT_EQ(t.platform.application.menuItem("Speak Replies Automatically")->state(), MenuItemState::off);
}

TEST(VoiceMenu, PushToTalkIgnoresAutoRepeat) {
    LaunchedApp a;
    MenuItem& item = a.item("Push to Talk");
    a.t.app->performMenuAction(MenuAction::pushToTalkToggled, item, true);
    EXPECT_EQ(a.t.platform.permissions.microphoneRequests, 0);
    a.t.app->performMenuAction(MenuAction::pushToTalkToggled, item, false);
    EXPECT_EQ(a.t.platform.permissions.microphoneRequests, 1);
    a.grant();
    a.t.app->performMenuAction(MenuAction::pushToTalkToggled, item, true);
    EXPECT_EQ(a.t.app->voice->status(), text::kListeningStarted);  // a held key does not stop it
}

TEST(VoiceShortcut, HeldShortcutIsSwallowedWithoutToggling) {
    LaunchedApp a;
    auto& application = a.t.platform.application;
    EXPECT_FALSE(application.sendKeyDown(KeyEvent{&a.t.window(), kCtrlShift, 49, false}));
    EXPECT_EQ(a.t.platform.permissions.microphoneRequests, 1);
    a.grant();
    for (int i = 0; i < 5; ++i) EXPECT_FALSE(application.sendKeyDown(KeyEvent{&a.t.window(), kCtrlShift, 49, true}));
    EXPECT_EQ(a.t.app->voice->state(), VoiceState::recording);
    EXPECT_EQ(a.t.app->voice->status(), text::kListeningStarted);
    EXPECT_FALSE(application.sendKeyDown(KeyEvent{&a.t.window(), kCtrlShift, 49, false}));
    EXPECT_EQ(a.t.app->voice->status(), text::kTranscribing);
}

TEST(VoiceStatusLine, EveryStatusReachesTheItemAndActiveOnesTheTitle) {
    LaunchedApp a;
    a.t.app->pushToTalkToggled();
    a.grant();
    EXPECT_EQ(a.t.app->voiceStatusItem->title(), "Status: " + text::kListeningStarted);
    EXPECT_EQ(a.t.window().title(), "Pelko \u2014 " + text::kListeningStarted);

    a.t.app->pushToTalkToggled();
    a.t.platform.mainQueue.advance(Duration{2500});  // nothing heard
    EXPECT_EQ(a.t.app->voiceStatusItem->title(), "Status: Voice ready");
    EXPECT_EQ(a.t.window().title(), "Pelko");

    // The same text twice is reported twice.
    a.t.platform.log.clear();
    a.t.app->voice->handleBridgeEvent({{"event", "replyFailed"}});
    a.t.app->voice->handleBridgeEvent({{"event", "replyFailed"}});
    EXPECT_EQ(a.t.platform.log.matching("window.setTitle").size(), 2u);
    EXPECT_EQ(a.t.window().title(), "Pelko");
}

TEST(VoiceStatusLine, HandlerDoesNothingOnceTheApplicationIsGone) {
    LaunchedApp a;
    a.t.app->pushToTalkToggled();
    ASSERT_TRUE(a.t.platform.permissions.answerMicrophone(true));
    a.t.platform.mainQueue.runUntilIdle();
    a.t.app.reset();  // the pending speech answer keeps the voice controller a little longer
    ASSERT_TRUE(a.t.platform.permissions.answerSpeech(3));
    a.t.platform.mainQueue.runUntilIdle();
    EXPECT_FALSE(a.t.platform.audio.anyCapturing());
}

}  // namespace
