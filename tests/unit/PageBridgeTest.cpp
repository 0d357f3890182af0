#include <gtest/gtest.h>

#include "fakes/TestApp.h"
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
        DispatchCase{"setupDefaults", message({{"type", "setupIMessage"}}), SetupIMessageRequest{"", kDefaultApi}},
        DispatchCase{"setupMistypedValues",
                     message({{"type", "setupIMessage"}, {"pairingCode", 1234}, {"apiBase", false}}),
                     SetupIMessageRequest{"", kDefaultApi}},
        DispatchCase{"setupNullValues",
                     message({{"type", "setupIMessage"}, {"pairingCode", nullptr}, {"apiBase", nullptr}}),
                     SetupIMessageRequest{"", kDefaultApi}},
        DispatchCase{"setupKeepsValuesUntrimmed",
                     message({{"type", "setupIMessage"}, {"pairingCode", " x "}, {"apiBase", ""}}),
                     SetupIMessageRequest{" x ", ""}},
        DispatchCase{"disconnectIgnoresOtherKeys", message({{"type", "disconnectIMessage"}, {"pairingCode", "z"}}),
                     DisconnectIMessageRequest{}},
        DispatchCase{"voicePassesEverything", message(kVoiceArm), VoiceBridgeEvent{kVoiceArm}},
        DispatchCase{"voiceWithoutEvent", message({{"type", "voice"}}), VoiceBridgeEvent{{{"type", "voice"}}}},
        DispatchCase{"defaultPortWrittenOut", message({{"type", "disconnectIMessage"}}, {"https", "pelko.test", 443}),
                     DisconnectIMessageRequest{}},
        // Dropped.
        DispatchCase{"stringBody", message("setupIMessage"), std::monostate{}},
        DispatchCase{"numberBody", message(3), std::monostate{}},
        DispatchCase{"arrayBody", message(json::array({"setupIMessage"})), std::monostate{}},
        DispatchCase{"nullBody", message(nullptr), std::monostate{}},
        DispatchCase{"emptyObject", message(json::object()), std::monostate{}},
        DispatchCase{"typeNotString", message({{"type", 1}}), std::monostate{}},
        DispatchCase{"typeArray", message({{"type", json::array({"voice"})}}), std::monostate{}},
        DispatchCase{"typeCaseDiffers", message({{"type", "SetupIMessage"}}), std::monostate{}},
        DispatchCase{"voiceCaseDiffers", message({{"type", "Voice"}, {"event", "dictate"}}), std::monostate{}},
        DispatchCase{"unknownType", message({{"type", "openSettings"}}), std::monostate{}},
        DispatchCase{"otherHandlerName", message({{"type", "voice"}}, kService, "Pelko"), std::monostate{}},
        DispatchCase{"otherHost", message({{"type", "setupIMessage"}}, {"https", "evil.example", 0}),
                     std::monostate{}},
        DispatchCase{"lookalikeHost", message({{"type", "setupIMessage"}}, {"https", "pelko.test.evil.example", 0}),
                     std::monostate{}},
        DispatchCase{"subdomain", message({{"type", "voice"}}, {"https", "cdn.pelko.test", 0}), std::monostate{}},
        DispatchCase{"plainHttp", message({{"type", "voice"}}, {"http", "pelko.test", 0}), std::monostate{}},
        DispatchCase{"otherPort", message({{"type", "voice"}}, {"https", "pelko.test", 8443}), std::monostate{}},
        DispatchCase{"opaqueOrigin", message({{"type", "voice"}}, {"", "", 0}), std::monostate{}}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(PageBridge, ControllerActsOnlyOnServiceMessages) {
    TestApp t;
    t.launch();
    t.platform.log.clear();
    t.app->didReceiveScriptMessage(message({{"type", "setupIMessage"}, {"pairingCode", 7}}));
    t.app->didReceiveScriptMessage(message({{"type", "disconnectIMessage"}}));
    t.app->didReceiveScriptMessage(message({{"type", "setupIMessage"}}, {"https", "ads.example", 0}));
    t.app->didReceiveScriptMessage(message("disconnectIMessage"));
    EXPECT_EQ(t.platform.log.calls(),
              (std::vector<std::string>{"setupIMessageAgent  https://pelko.test/api", "disconnectIMessageAgent"}));
    EXPECT_TRUE(t.platform.alerts.shown.empty());
    EXPECT_EQ(t.platform.mainQueue.pending(), 0u);
}

struct OriginCase {
    const char* text;
    std::optional<SecurityOrigin> expected;
};

class OriginParsing : public ::testing::TestWithParam<OriginCase> {};

TEST_P(OriginParsing, ParsesConfiguredOrigins) { EXPECT_EQ(parseOrigin(GetParam().text), GetParam().expected); }

INSTANTIATE_TEST_SUITE_P(
    Texts, OriginParsing,
    ::testing::Values(OriginCase{"https://pelko.ai", SecurityOrigin{"https", "pelko.ai", 0}},
                      OriginCase{"HTTP://127.0.0.1:8765", SecurityOrigin{"http", "127.0.0.1", 8765}},
                      OriginCase{"http://[::1]:9000", SecurityOrigin{"http", "[::1]", 9000}},
                      OriginCase{"http://[::1]", SecurityOrigin{"http", "[::1]", 0}},
                      OriginCase{"https://pelko.ai/", std::nullopt}, OriginCase{"pelko.ai", std::nullopt},
                      OriginCase{"https://", std::nullopt}, OriginCase{"https://pelko.ai:0", std::nullopt},
                      OriginCase{"https://pelko.ai:99999", std::nullopt},
                      OriginCase{"https://pelko.ai:", std::nullopt},
                      OriginCase{"https://user@pelko.ai", std::nullopt}));

TEST(DesktopInfoScript, MacTextIsExactWithTheVersionBetween) {
    const std::string head = "window.__pelkoDesktop = { version: \"";
    const std::string tail = "\", platform: \"mac\", canSetupIMessage: true, canDictate: true };";
    ASSERT_EQ(head.size(), 36u);
    ASSERT_EQ(tail.size(), 63u);
    for (const std::string version : {"1.4.2", "0", "", "10.0.0.12"}) {
        const std::string script = desktopInfoScript(version, kMacDesktopInfo);
        EXPECT_EQ(script, head + version + tail);
        EXPECT_EQ(script.size(), 36 + version.size() + 63);
    }
}

TEST(DesktopInfoScript, HostileVersionStaysInsideItsString) {
    const std::string script =
        desktopInfoScript("1\"; alert(1); \"\\\n\u2028", DesktopInfo{"linux", false, true});
    EXPECT_EQ(script,
              "window.__pelkoDesktop = { version: \"1\\\"; alert(1); \\\"\\\\\\n\\u2028\", platform: \"linux\", "
              "canSetupIMessage: false, canDictate: true };");
}

TEST(DesktopInfoScript, LaunchInjectsMissingVersionAsZero) {
    TestApp t;
    t.platform.bundle.info = json::object();
    t.launch();
    EXPECT_EQ(t.platform.toolkit.configuration->userScripts.at(0).source,
              desktopInfoScript("0", kMacDesktopInfo));
}

}  // namespace
