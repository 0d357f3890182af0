#include <gtest/gtest.h>

#include "fakes/TestApp.h"
#include "voice/VoiceController.h"

using namespace pelko;
using namespace pelko::test;
using nlohmann::json;

namespace {

ScriptMessage voiceMessage(const std::string& event, SecurityOrigin origin) {
    return ScriptMessage{"pelko", json{{"type", "voice"}, {"event", event}}, std::move(origin), true};
}

TEST(VoiceLaunch, StatusItemReadsVoiceReady) {
    TestApp t;
    t.launch();
    ASSERT_NE(t.app->voice, nullptr);
    EXPECT_EQ(t.app->voiceStatusItem->title(), "Status: Voice ready");
    EXPECT_EQ(t.platform.speech.localesAsked, std::vector<std::string>{"en-US"});
}

TEST(VoiceLaunch, DictateFromTheServiceStartsThePermissionFlow) {
    TestApp t;
    t.launch();
    t.app->didReceiveScriptMessage(voiceMessage("dictate", {"https", "pelko.test", 0}));
    EXPECT_EQ(t.platform.permissions.microphoneRequests, 1);
}

TEST(VoiceLaunch, DictateFromAnotherOriginIsIgnored) {
    TestApp t;
    t.launch();
    t.app->didReceiveScriptMessage(voiceMessage("dictate", {"https", "ads.example", 0}));
    t.app->didReceiveScriptMessage(voiceMessage("dictate", {"http", "pelko.test", 0}));
    t.app->didReceiveScriptMessage(voiceMessage("replyFailed", {"https", "pelko.test.evil.example", 0}));
    t.platform.mainQueue.runUntilIdle();
    EXPECT_EQ(t.platform.permissions.microphoneRequests, 0);
    EXPECT_EQ(t.app->voice->status(), "Voice ready");
    EXPECT_TRUE(t.webView().evaluations.empty());
}

TEST(VoiceLaunch, WebViewIsHeldWeakly) {
    TestApp t;
    t.launch();
    std::weak_ptr<WebView> view = t.app->webView;
    t.app->webView.reset();
    EXPECT_TRUE(view.expired());
    t.app->didReceiveScriptMessage(voiceMessage("dictate", {"https", "pelko.test", 0}));  // scripts are skipped
    EXPECT_EQ(t.platform.permissions.microphoneRequests, 1);
}

}  // namespace
