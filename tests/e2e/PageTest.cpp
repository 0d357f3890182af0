// What the page and the app say to each other in the real engine: every
// message arrives stamped with the real origin of the frame that posted it,
// whatever that frame does, so the core's origin rule can hold.
#include <gtest/gtest.h>

#include "DemoService.h"
#include "Harness.h"
#include "app/BuildConfig.h"

namespace pelko::e2e {
namespace {

TEST(Bridge, EveryMessageCarriesTheRealOriginOfItsFrame) {
    TestApp app;
    ASSERT_TRUE(app.launch());
    ASSERT_TRUE(app.load("/frames.html"));
    ASSERT_TRUE(app.waitFor("window.__frameReports.some(r => r.data.id === 'ready')", true));
    // Each frame knows the desktop before its own scripts run.
    const nlohmann::json desktop = {
        {"version", build::kVersion}, {"platform", "linux"}, {"canSetupIMessage", false}, {"canDictate", true}};
    EXPECT_EQ(app.eval("window.__pelkoShellAtStart"), desktop);
    EXPECT_EQ(app.eval("window.__frameReports.find(r => r.data.id === 'ready').data.shellAtStart"), desktop);

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

    app.eval("window.webkit.messageHandlers.pelko.postMessage({type: 'setupIMessage', pairingCode: 'ABC-123'}); 0");
    ASSERT_TRUE(runUntil([&] { return messages.size() == 5; }));
    EXPECT_EQ(messages.back().body, (nlohmann::json{{"type", "setupIMessage"}, {"pairingCode", "ABC-123"}}));
    EXPECT_EQ(messages.back().frameOrigin, (SecurityOrigin{"http", "127.0.0.1", World::get().demo->port()}));
    EXPECT_TRUE(messages.back().isMainFrame);
}

}  // namespace
}  // namespace pelko::e2e
