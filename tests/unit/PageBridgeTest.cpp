#include <gtest/gtest.h>

#include "agent/AgentFiles.h"
#include "fakes/FakePlatform.h"
#include "web/BridgeMessage.h"
#include "web/DesktopInfoScript.h"
#include "web/Origin.h"

using namespace pelko;
using namespace pelko::test;
using nlohmann::json;

namespace {

const SecurityOrigin kService{"https", "pelko.test", 0};
const std::string kDefaultApi = "https://pelko.test/api";

ScriptMessage message(json body, SecurityOrigin origin = kService, std::string name = "pelko") {
    return ScriptMessage{std::move(name), std::move(body), std::move(origin), true};
}

struct DispatchCase {
    const char* name;
    ScriptMessage input;
    BridgeCommand expected;
};

class BridgeDispatch : public ::testing::TestWithParam<DispatchCase> {};

TEST_P(BridgeDispatch, ReadsOrDropsTheMessage) {
    EXPECT_EQ(readBridgeMessage(GetParam().input, kService, kDefaultApi), GetParam().expected);
}

const json kVoiceArm = {{"type", "voice"}, {"event", "replyTimeout"}, {"phase", "arm"}};

INSTANTIATE_TEST_SUITE_P(
    Messages, BridgeDispatch,
    ::testing::Values(
        DispatchCase{"setupWithBoth",
                     message({{"type", "setupIMessage"}, {"pairingCode", "AB-12"}, {"apiBase", "https://x/api"}}),
                     SetupIMessageRequest{"AB-12", "https://x/api"}},
        DispatchCase{"setupMistypedValuesTakeDefaults",
                     message({{"type", "setupIMessage"}, {"pairingCode", 1234}, {"apiBase", nullptr}}),
                     SetupIMessageRequest{"", kDefaultApi}},
        DispatchCase{"disconnect", message({{"type", "disconnectIMessage"}}, {"https", "pelko.test", 443}),
                     DisconnectIMessageRequest{}},
        DispatchCase{"voicePassesEverything", message(kVoiceArm), VoiceBridgeEvent{kVoiceArm}},
        // Dropped.
        DispatchCase{"notAnObject", message(json::array({"setupIMessage"})), std::monostate{}},
        DispatchCase{"typeNotString", message({{"type", 1}}), std::monostate{}},
        DispatchCase{"typeCaseDiffers", message({{"type", "Voice"}, {"event", "dictate"}}), std::monostate{}},
        DispatchCase{"unknownType", message({{"type", "openSettings"}}), std::monostate{}},
        DispatchCase{"otherHandlerName", message({{"type", "voice"}}, kService, "Pelko"), std::monostate{}},
        DispatchCase{"lookalikeHost", message({{"type", "setupIMessage"}}, {"https", "pelko.test.evil.example", 0}),
                     std::monostate{}},
        DispatchCase{"subdomain", message({{"type", "voice"}}, {"https", "cdn.pelko.test", 0}), std::monostate{}},
        DispatchCase{"plainHttp", message({{"type", "voice"}}, {"http", "pelko.test", 0}), std::monostate{}},
        DispatchCase{"otherPort", message({{"type", "voice"}}, {"https", "pelko.test", 8443}), std::monostate{}},
        DispatchCase{"opaqueOrigin", message({{"type", "voice"}}, {"", "", 0}), std::monostate{}}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(PageBridge, AnOriginWithoutAHostMatchesNothingNotEvenItself) {
    const SecurityOrigin opaque{"", "", 0};
    EXPECT_FALSE(sameOrigin(opaque, opaque));
    EXPECT_FALSE(sameOrigin(SecurityOrigin{"https", "", 0}, SecurityOrigin{"https", "", 0}));
    EXPECT_EQ(readBridgeMessage(message({{"type", "voice"}}, opaque), opaque, kDefaultApi), BridgeCommand{});
    EXPECT_TRUE(sameOrigin(SecurityOrigin{"HTTPS", "Pelko.Test", 443}, kService));
}

TEST(PageBridge, TheControllerActsOnlyOnTheServicesMessages) {
    TestApp t;
    const std::string bundle = t.platform.bundle.path, home = t.platform.files.home;
    t.platform.files.existing = {helperExecutablePath(bundle), helperScriptPath(bundle)};
    t.launch();
    t.app->didReceiveScriptMessage(message({{"type", "setupIMessage"}, {"pairingCode", 7}}));
    t.app->didReceiveScriptMessage(message({{"type", "setupIMessage"}}, {"https", "ads.example", 0}));
    t.app->didReceiveScriptMessage(message({{"type", "disconnectIMessage"}}, {"https", "ads.example", 0}));
    t.app->didReceiveScriptMessage(message({{"type", "voice"}, {"event", "dictate"}}, {"https", "ads.example", 0}));
    // One setup, the page's missing values given their defaults; nothing from the other origin.
    EXPECT_EQ(t.platform.files.contents.at(agentPropertyListPath(home)),
              agentPropertyList(helperExecutablePath(bundle), helperScriptPath(bundle), "", kDefaultApi,
                                agentLogDirectory(home)));
    EXPECT_EQ(t.platform.processes.runs.size(), 2u);  // bootout, bootstrap
    t.app->didReceiveScriptMessage(message({{"type", "disconnectIMessage"}}));
    EXPECT_EQ(t.platform.processes.runs.size(), 3u);
    EXPECT_EQ(t.platform.permissions.microphoneRequests, 0);
    t.app->didReceiveScriptMessage(message({{"type", "voice"}, {"event", "dictate"}}));
    EXPECT_EQ(t.platform.permissions.microphoneRequests, 1);
}

class OriginParsing : public ::testing::TestWithParam<std::pair<const char*, std::optional<SecurityOrigin>>> {};

TEST_P(OriginParsing, AcceptsOnlySchemeHostAndPort) { EXPECT_EQ(parseOrigin(GetParam().first), GetParam().second); }

INSTANTIATE_TEST_SUITE_P(
    Texts, OriginParsing,
    ::testing::Values(std::pair{"HTTP://127.0.0.1:8765", std::optional(SecurityOrigin{"http", "127.0.0.1", 8765})},
                      std::pair{"http://[::1]:9000", std::optional(SecurityOrigin{"http", "[::1]", 9000})},
                      std::pair{"ftp://pelko.ai", std::optional<SecurityOrigin>()},
                      std::pair{"https", std::optional<SecurityOrigin>()},
                      std::pair{"https://pelko.ai:99999", std::optional<SecurityOrigin>()},
                      std::pair{"https://pelko.ai:443x", std::optional<SecurityOrigin>()},
                      std::pair{"https://user@pelko.ai", std::optional<SecurityOrigin>()}));

TEST(DesktopInfoScript, AHostileVersionStaysInsideItsString) {
    EXPECT_EQ(desktopInfoScript("1\"; alert(1); \"\\\n\u2028\u2029\t\xff", DesktopInfo{"linux", false, true}),
              "window.__pelkoDesktop = { version: \"1\\\"; alert(1); \\\"\\\\\\n\\u2028\\u2029\\u0009\uFFFD\", platform: \"linux\", "
              "canSetupIMessage: false, canDictate: true };");
}

}  // namespace
