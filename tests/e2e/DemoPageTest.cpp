// The demo service's page honours the hosted page contract, checked with
// the app's own page scripts in the real engine.
#include <gtest/gtest.h>

#include "DemoService.h"
#include "TestApp.h"
#include "voice/ComposerScripts.h"
#include "voice/ReplyWatcherScript.h"

namespace pelko::e2e {
namespace {

bool postedVoiceEvent(const RecordingAppDelegate& delegate, const std::string& event) {
    for (const auto& message : delegate.scriptMessages) {
        if (message.isMainFrame && message.body.value("type", "") == "voice" && message.body.value("event", "") == event)
            return true;
    }
    return false;
}

TEST(DemoPage, APushToTalkMessageIsSentAndItsReplyReadAloud) {
    TestApp app;
    app.launchAndWaitForHome();
    EXPECT_EQ(app.evaluate(replyWatcherScript()).value, nlohmann::json(true));
    const auto submitted = app.evaluate(composerSubmitScript("Hello from the desktop"));
    ASSERT_FALSE(submitted.error) << *submitted.error;
    EXPECT_TRUE(pageScriptSucceeded(submitted.value, std::nullopt));
    // The stop button shows while the echo streams and goes when it is done;
    // the watcher then presses the newest reply's read-aloud button.
    ASSERT_TRUE(runUntil([&] { return postedVoiceEvent(app.delegate(), "replyStarted"); }, 20s));
    EXPECT_EQ(app.evaluate("document.querySelectorAll('.message.user .bubble')[1].textContent").value,
              nlohmann::json("Hello from the desktop"));
    const auto reply = app.evaluate("[...document.querySelectorAll('.message.assistant .bubble')].pop().textContent");
    ASSERT_TRUE(reply.value);
    EXPECT_NE(reply.value->get<std::string>().find("Hello from the desktop"), std::string::npos);
    EXPECT_EQ(app.evaluate("[...document.querySelectorAll('button[title=\"Read aloud\"]')].pop().classList.contains('reading')")
                  .value,
              nlohmann::json(true));
    EXPECT_EQ(app.evaluate("window.__pelkoDemoReading").value, reply.value);
    EXPECT_EQ(app.evaluate("document.querySelectorAll('button[title^=\"Stop generating\"]').length").value,
              nlohmann::json(0));
}

TEST(DemoPage, ADictationFillsTheComposerWithoutSending) {
    TestApp app;
    app.launchAndWaitForHome();
    const auto messages = app.evaluate("document.querySelectorAll('.message').length").value;
    const auto inserted = app.evaluate(composerInsertScript("dictated words"));
    ASSERT_FALSE(inserted.error) << *inserted.error;
    EXPECT_TRUE(pageScriptSucceeded(inserted.value, std::nullopt));
    EXPECT_EQ(app.evaluate("document.getElementById('composer-input').value").value, nlohmann::json("dictated words"));
    EXPECT_EQ(app.evaluate("document.querySelectorAll('.message').length").value, messages);
}

TEST(DemoPage, TheDictateButtonAsksTheAppAndFollowsItsVoiceEvents) {
    TestApp app;
    app.launchAndWaitForHome();
    app.evaluate("document.getElementById('dictate').click(); 0");
    ASSERT_TRUE(runUntil([&] { return postedVoiceEvent(app.delegate(), "dictate"); }));
    // This build cannot record: the app's answer is the "idle" voice event, which the page hears.
    EXPECT_TRUE(app.waitForValue("window.__pelkoDemoVoiceState || null", "idle"));
    app.evaluate("window.dispatchEvent(new CustomEvent('pelko:voice', {detail: {state: 'recording'}})); 0");
    EXPECT_EQ(app.evaluate("document.getElementById('dictate-label').textContent").value, nlohmann::json("Listening…"));
    app.evaluate("window.dispatchEvent(new CustomEvent('pelko:voice', {detail: {state: 'idle'}})); 0");
    EXPECT_EQ(app.evaluate("document.getElementById('dictate-label').textContent").value, nlohmann::json(""));
}

}  // namespace
}  // namespace pelko::e2e
