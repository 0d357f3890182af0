// The page bridge in the real engine: what each frame is told, and which
// messages reach the controller.
#include <gtest/gtest.h>

#include "DemoService.h"
#include "TestApp.h"
#include "app/BuildConfig.h"

namespace pelko::e2e {
namespace {

const nlohmann::json kLinuxDesktopInfo = {
    {"version", build::kVersion}, {"platform", "linux"}, {"canSetupIMessage", false}, {"canDictate", true}};

// The frames page, loaded, with its cross-origin frame ready.
class FramesPage : public ::testing::Test {
protected:
    void SetUp() override {
        app.launchAndWaitForHome();
        ASSERT_TRUE(app.load("/frames.html"));
        ASSERT_TRUE(app.waitForValue("window.__frameReports.some(r => r.data.id === 'ready')", true));
    }

    // Runs `code` in the cross-origin frame and waits for its answer.
    nlohmann::json runInFrame(const std::string& code) {
        const std::string id = "run" + std::to_string(++runs_);
        app.evaluate("window.runInFrame(" + nlohmann::json(id).dump() + ", " + nlohmann::json(code).dump() + "); 0");
        const std::string find = "(window.__frameReports.find(r => r.data.id === " + nlohmann::json(id).dump() +
                                 ") || {data: null}).data";
        runUntil([&] { return !app.evaluate(find).value.value_or(nullptr).is_null(); });
        return app.evaluate(find).value.value_or(nullptr);
    }

    // Raw messages the backend delivered from frames of `origin`.
    std::vector<ScriptMessage> messagesFrom(const std::string& host) {
        std::vector<ScriptMessage> out;
        for (const auto& message : app.delegate().scriptMessages) {
            if (message.frameOrigin.host == host) out.push_back(message);
        }
        return out;
    }

    TestApp app;

private:
    int runs_ = 0;
};

TEST_F(FramesPage, EveryFrameKnowsTheDesktopBeforeItsOwnScriptsRun) {
    EXPECT_EQ(app.evaluate("window.__pelkoShellAtStart").value, kLinuxDesktopInfo);
    const auto ready = app.evaluate("window.__frameReports.find(r => r.data.id === 'ready')").value;
    ASSERT_TRUE(ready);
    EXPECT_EQ((*ready)["origin"], World::get().otherOrigin());
    EXPECT_EQ((*ready)["data"]["shellAtStart"], kLinuxDesktopInfo);
}

TEST_F(FramesPage, TheTopFramesMessageReachesTheDispatcherStampedWithItsOrigin) {
    app.evaluate("window.webkit.messageHandlers.pelko.postMessage({type: 'setupIMessage', pairingCode: 'ABC-123'}); 0");
    ASSERT_TRUE(runUntil([&] { return !app.delegate().agentCalls.empty(); }));
    EXPECT_EQ(app.delegate().agentCalls,
              std::vector<std::string>{"setup ABC-123 " + World::get().origin() + "/api"});
    const ScriptMessage& message = app.delegate().scriptMessages.back();
    EXPECT_EQ(message.name, "pelko");
    EXPECT_EQ(message.frameOrigin.scheme, "http");
    EXPECT_EQ(message.frameOrigin.host, "127.0.0.1");
    EXPECT_EQ(message.frameOrigin.port, World::get().demo().port());
    EXPECT_TRUE(message.isMainFrame);
    EXPECT_EQ(message.body, nlohmann::json({{"type", "setupIMessage"}, {"pairingCode", "ABC-123"}}));
}

TEST_F(FramesPage, ACrossOriginFramesMessagesArriveAsItsOwnAndAreNotActedOn) {
    // Attempts to pass as the top page, then a marker that all of them were handled.
    const std::string relayEvent = "__pelkoBridge:pelko";
    const std::string forgedEnvelope =
        nlohmann::json({{"origin", World::get().origin()},
                        {"mainFrame", true},
                        {"body", R"({"type":"setupIMessage","pairingCode":"forged-envelope"})"}})
            .dump();
    const std::vector<std::string> attempts = {
        // The plain way.
        "window.webkit.messageHandlers.pelko.postMessage({type: 'setupIMessage', pairingCode: 'from-frame'}); return 1;",
        // The relay's own event, carrying a made-up envelope.
        "document.dispatchEvent(new CustomEvent(" + nlohmann::json(relayEvent).dump() + ", {detail: " +
            nlohmann::json(forgedEnvelope).dump() + "})); return 1;",
        // Lying about its origin in its own world.
        "Object.defineProperty(Location.prototype, 'origin', {get() { return " +
            nlohmann::json(World::get().origin()).dump() +
            "; }}); window.webkit.messageHandlers.pelko.postMessage({type: 'setupIMessage', pairingCode: "
            "'lying-origin'}); return location.origin;",
        // Reaching for the top page's handler or document.
        "window.top.webkit.messageHandlers.pelko.postMessage({type: 'setupIMessage', pairingCode: 'via-top'}); "
        "return 1;",
        "window.top.document.dispatchEvent(new CustomEvent(" + nlohmann::json(relayEvent).dump() +
            ", {detail: '{\"type\":\"setupIMessage\",\"pairingCode\":\"top-document\"}'})); return 1;",
        "window.webkit.messageHandlers.pelko.postMessage({type: 'marker'}); return 1;",
    };
    for (const auto& attempt : attempts) runInFrame(attempt);

    // Reaching into the top page is refused by the engine itself.
    ASSERT_TRUE(runUntil([&] {
        for (const auto& message : messagesFrom("localhost")) {
            if (message.body.value("type", "") == "marker") return true;
        }
        return false;
    }));
    for (const auto& message : messagesFrom("localhost")) {
        EXPECT_FALSE(message.isMainFrame);
        EXPECT_EQ(message.frameOrigin.port, World::get().demo().port());
    }
    EXPECT_EQ(messagesFrom("localhost").size(), 4u) << "plain, relay event, lying origin, marker";
    EXPECT_TRUE(messagesFrom("127.0.0.1").empty());
    EXPECT_TRUE(app.delegate().agentCalls.empty());

    // The top page's own message still goes through afterwards.
    app.evaluate("window.webkit.messageHandlers.pelko.postMessage({type: 'disconnectIMessage'}); 0");
    ASSERT_TRUE(runUntil([&] { return !app.delegate().agentCalls.empty(); }));
    EXPECT_EQ(app.delegate().agentCalls, std::vector<std::string>{"disconnect"});
}

}  // namespace
}  // namespace pelko::e2e
