// What the page and the app say to each other in the real engine: the
// bridge obeys the service's own page and never a frame of another origin;
// the demo page's voice roads run as far as this build runs them, with the
// app's own page scripts.
#include <gtest/gtest.h>

#include "DemoService.h"
#include "Harness.h"
#include "app/BuildConfig.h"
#include "voice/ComposerScripts.h"
#include "voice/ReplyWatcherScript.h"

namespace pelko::e2e {
namespace {

TEST(Bridge, TheServicesPageIsObeyedAndAFrameOfAnotherOriginIsNot) {
    TestApp app;
    ASSERT_TRUE(app.launch());
    ASSERT_TRUE(app.load("/frames.html"));
    ASSERT_TRUE(app.waitFor("window.__frameReports.some(r => r.data.id === 'ready')", true));
    // Each frame knows the desktop before its own scripts run.
    const nlohmann::json desktop = {
        {"version", build::kVersion}, {"platform", "linux"}, {"canSetupIMessage", false}, {"canDictate", true}};
    EXPECT_EQ(app.eval("window.__pelkoShellAtStart"), desktop);
    EXPECT_EQ(app.eval("window.__frameReports.find(r => r.data.id === 'ready').data.shellAtStart"), desktop);

    const std::vector<std::string> launchHooks = app.delegate().hookCalls;
    const std::string origin = World::get().origin();
    const std::string attempts = "const origin = " + nlohmann::json(origin).dump() + R"(;
        const post = (body) => window.webkit.messageHandlers.pelko.postMessage(body);
        post({type: 'setupIMessage', pairingCode: 'plain'});
        // The relay's own event, carrying a made-up envelope.
        const body = JSON.stringify({type: 'setupIMessage', pairingCode: 'forged'});
        const envelope = {origin, mainFrame: true, body};
        document.dispatchEvent(new CustomEvent('__pelkoBridge:pelko', {detail: JSON.stringify(envelope)}));
        Object.defineProperty(Location.prototype, 'origin', {get() { return origin; }});
        post({type: 'setupIMessage', pairingCode: 'lying about its origin'});
        post({type: 'last'});)";
    app.eval("window.runInFrame('attempts', " + nlohmann::json(attempts).dump() + "); 0");
    const auto& messages = app.delegate().scriptMessages;
    ASSERT_TRUE(runUntil([&] { return !messages.empty() && messages.back().body.value("type", "") == "last"; }));
    EXPECT_EQ(messages.size(), 4u);
    for (const auto& message : messages) {
        EXPECT_EQ(message.frameOrigin, (SecurityOrigin{"http", "localhost", World::get().demo->port()}));
        EXPECT_FALSE(message.isMainFrame);
    }
    EXPECT_EQ(app.delegate().hookCalls, launchHooks);

    app.eval("window.webkit.messageHandlers.pelko.postMessage({type: 'setupIMessage', pairingCode: 'ABC-123'}); 0");
    ASSERT_TRUE(runUntil([&] { return app.delegate().hookCalls.size() > launchHooks.size(); }));
    EXPECT_EQ(app.delegate().hookCalls.back(), "setup ABC-123 " + origin + "/api");
    EXPECT_EQ(messages.back().frameOrigin, (SecurityOrigin{"http", "127.0.0.1", World::get().demo->port()}));
    EXPECT_TRUE(messages.back().isMainFrame);
}

bool posted(const test::RecordingAppDelegate& delegate, const std::string& event) {
    return std::ranges::any_of(delegate.scriptMessages, [&](const ScriptMessage& message) {
        return message.isMainFrame && message.body == nlohmann::json{{"type", "voice"}, {"event", event}};
    });
}

TEST(DemoPage, APushToTalkTranscriptIsSentAndItsReplyReadAloud) {
    TestApp app;
    ASSERT_TRUE(app.launch());
    EXPECT_EQ(app.eval(replyWatcherScript()), true);
    EXPECT_TRUE(pageScriptSucceeded(app.eval(composerSubmitScript("Hello from the desktop")), std::nullopt));
    ASSERT_TRUE(runUntil([&] { return posted(app.delegate(), "replyStarted"); }, 20s));
    // The echo came back, and the watcher pressed its read-aloud button.
    const auto reply = app.eval("[...document.querySelectorAll('.message.assistant .bubble')].pop().textContent");
    EXPECT_NE(reply.dump().find("Hello from the desktop"), std::string::npos);
    EXPECT_EQ(app.eval("window.__pelkoDemoReading"), reply);
}

TEST(DemoPage, DictationAsksTheAppAndItsTranscriptFillsTheComposer) {
    TestApp app;
    ASSERT_TRUE(app.launch());
    app.eval("document.getElementById('dictate').click(); 0");
    ASSERT_TRUE(runUntil([&] { return posted(app.delegate(), "dictate"); }));
    // This build cannot record: the app answers with the idle voice event, which the page hears.
    EXPECT_TRUE(app.waitFor("window.__pelkoDemoVoiceState || null", "idle"));

    EXPECT_TRUE(pageScriptSucceeded(app.eval(composerInsertScript("dictated words")), std::nullopt));
    EXPECT_EQ(app.eval("document.getElementById('composer-input').value"), "dictated words");
}

}  // namespace
}  // namespace pelko::e2e
