#include <gtest/gtest.h>

#include "app/CommandLine.h"
#include "app/DesktopConventions.h"
#include "voice/VoiceStatusTexts.h"
#include "app/PushToTalkShortcut.h"
#include "app/VoiceStatusLine.h"
#include "fakes/FakePlatform.h"
#include "voice/VoiceController.h"

using namespace pelko;
using namespace pelko::test;
using nlohmann::json;

namespace {

constexpr std::uint64_t kCtrlShift = kModifierControl | kModifierShift;

TEST(Launch, ShowsTheHomePageWithTheBridgeAndChecksForUpdatesSilently) {
    TestApp t;
    t.launch();
    ASSERT_NE(t.platform.toolkit.webView, nullptr) << "the launch stopped";
    // The web view's copy: what is added to the configuration after the web view is made never reaches the page.
    const auto& config = t.webView().configuration;
    const UserScript desktopInfo{"window.__pelkoDesktop = { version: \"1.4.2\", platform: \"mac\", "
                                 "canSetupIMessage: true, canDictate: true };",
                                 UserScriptInjectionTime::atDocumentStart, false};
    EXPECT_EQ(config.userScripts, std::vector<UserScript>{desktopInfo});
    EXPECT_EQ(config.handlers.at("pelko"), t.app.get());
    EXPECT_EQ(t.webView().loads, std::vector<UrlRequest>{UrlRequest{*t.platform.urls.urlFromString("https://pelko.test/")}});
    // Asked for before the window is built, so the engine's web process starts meanwhile.
    EXPECT_EQ(t.platform.toolkit.loadsBeforeWindow, 1u);
    EXPECT_TRUE(t.window().visible);
    EXPECT_EQ(t.window().minSize, (Size{720, 560}));
    // The service sees the browser its pages are made for; a swipe goes back or forward.
    EXPECT_EQ(t.webView().userAgent,
              "Mozilla/5.0 (Macintosh; Intel Mac OS X 10_15_7) AppleWebKit/605.1.15 (KHTML, like Gecko) "
              "Version/17.4 Safari/605.1.15");
    EXPECT_TRUE(t.webView().backForwardGestures);
    // From /Applications there is nothing to move; the update check asks and says nothing yet.
    ASSERT_EQ(t.platform.urlSession.requests.size(), 1u);
    t.platform.mainQueue.runUntilIdle();
    EXPECT_TRUE(t.platform.alerts.shown.empty());
}

TEST(Launch, ARelaunchUnderWayCreatesNothingAndRequestsNothing) {
    TestApp t;
    t.platform.bundle.path = "/Users/sam/Downloads/Pelko.app";
    t.platform.alerts.answers = {kAlertFirstButtonReturn};  // Move to Applications
    t.launch();
    EXPECT_EQ(t.platform.processes.launched.size(), 1u);
    EXPECT_EQ(t.platform.toolkit.configuration, nullptr);
    EXPECT_EQ(t.platform.application.mainMenu, nullptr);
    EXPECT_TRUE(t.platform.application.monitors.empty());
    EXPECT_TRUE(t.platform.urlSession.requests.empty());
    EXPECT_EQ(t.platform.mainQueue.pending(), 0u);
}

TEST(AppConfig, EveryValueComesFromAServiceOriginThatIsSchemeHostAndPortOnly) {
    const auto made = makeAppConfig(FakeUrls(), "http://127.0.0.1:8421", HostPlatform::linux, false);
    ASSERT_TRUE(std::holds_alternative<AppConfig>(made));
    const auto& config = std::get<AppConfig>(made);
    EXPECT_EQ(config.homeURL.absoluteString, "http://127.0.0.1:8421/");
    EXPECT_EQ(config.updateFeedURL.absoluteString, "http://127.0.0.1:8421/desktop-latest.json");
    EXPECT_EQ(config.downloadExtensions, (std::set<std::string>{"pkg", "dmg", "zip", "exe", "msi"}));
    EXPECT_EQ(config.serviceOrigin, (SecurityOrigin{"http", "127.0.0.1", 8421}));
    EXPECT_EQ(config.apiBase, "http://127.0.0.1:8421/api");
    EXPECT_EQ(config.inAppHosts.apexDomain, "127.0.0.1");
    EXPECT_EQ(config.desktopInfo, (DesktopInfo{"linux", false, false}));
    const auto mac = makeAppConfig(FakeUrls(), "https://pelko.test", HostPlatform::mac, true);
    EXPECT_EQ(std::get<AppConfig>(mac).desktopInfo, (DesktopInfo{"mac", true, true}));
    // Without a host to compare, the bridge's rule could not hold: the app does not start.
    for (const char* origin : {"https://pelko.test/", "https://pelko.test/app", "not an origin"}) {
        const auto refused = makeAppConfig(FakeUrls(), origin, HostPlatform::mac, true);
        ASSERT_TRUE(std::holds_alternative<ConfigError>(refused)) << origin;
        EXPECT_EQ(std::get<ConfigError>(refused).message,
                  std::string("the configured service origin \"") + origin + "\" is not scheme://host[:port]");
    }
}

TEST(AppConfig, TheUpdateManifestIsAPathOnTheServiceOrAnAddressOfItsOwn) {
    const std::vector<std::pair<std::string, std::optional<std::string>>> cases{
        {"/desktop-latest.json", "https://pelko.test/desktop-latest.json"},
        {"/desktop-latest-linux-amd64.json", "https://pelko.test/desktop-latest-linux-amd64.json"},
        {"https://downloads.pelko.test/linux.json", "https://downloads.pelko.test/linux.json"},
        {"http://127.0.0.1:8421/m.json", "http://127.0.0.1:8421/m.json"},
        {"desktop-latest.json", std::nullopt},
        {"ftp://pelko.test/m.json", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& [manifest, address] : cases) {
        EXPECT_EQ(updateManifestAddress("https://pelko.test", manifest), address) << manifest;
        const auto made = makeAppConfig(FakeUrls(), "https://pelko.test", HostPlatform::linux, true, manifest);
        const auto* config = std::get_if<AppConfig>(&made);
        EXPECT_EQ(config ? std::optional(config->updateFeedURL.absoluteString) : std::nullopt, address) << manifest;
    }
}

TEST(Ports, APortABackendForgotStopsTheStartByName) {
    FakePlatform platform;
    EXPECT_EQ(portsProblem(platform.ports()), std::nullopt);
    Ports ports = platform.ports();
    ports.speech = nullptr;
    ports.application = nullptr;
    EXPECT_EQ(portsProblem(ports), "the platform left these ports unset: application speech");
}

TEST(Window, CloseOnlyHidesAndReopenBringsTheSamePageBack) {
    TestApp t;
    t.launch();
    EXPECT_FALSE(t.app->windowShouldClose());
    EXPECT_FALSE(t.window().visible);
    EXPECT_FALSE(t.app->applicationShouldTerminateAfterLastWindowClosed());

    EXPECT_TRUE(t.app->applicationShouldHandleReopen(/*hasVisibleWindows=*/true));
    EXPECT_FALSE(t.window().visible);
    EXPECT_TRUE(t.app->applicationShouldHandleReopen(/*hasVisibleWindows=*/false));
    EXPECT_TRUE(t.window().visible);
    EXPECT_EQ(t.platform.application.activations, 2);
    EXPECT_EQ(t.webView().loads.size(), 1u);  // never reloaded or replaced
}

TEST(Window, OnLinuxClosingItQuitsAsTheDesktopExpects) {
    TestApp t(HostPlatform::linux);
    t.launch();
    EXPECT_FALSE(t.app->windowShouldClose());  // the application ends instead
    EXPECT_FALSE(t.window().visible);
    EXPECT_EQ(t.platform.application.terminations, 1);
    EXPECT_TRUE(t.app->applicationShouldTerminateAfterLastWindowClosed());
    EXPECT_TRUE(closingTheWindowQuits(HostPlatform::linux));
    EXPECT_FALSE(closingTheWindowQuits(HostPlatform::mac));
}

TEST(AppVersion, IsTheShortVersionStringWhenItIsAString) {
    TestApp t;
    EXPECT_EQ(t.app->appVersion(), "1.4.2");
    t.platform.bundle.info = {{"CFBundleShortVersionString", 3}};
    EXPECT_EQ(t.app->appVersion(), "0");
    t.platform.bundle.info = json::object();
    EXPECT_EQ(t.app->appVersion(), "0");
}

TEST(CommandLine, OnlyVersionKeepsTheWindowClosed) {
    using enum LaunchRequest;
    const std::vector<std::pair<std::vector<std::string>, LaunchRequest>> cases{
        {{}, openWindow},
        {{"--version"}, printVersion},
        {{"-NSDocumentRevisionsDebugMode", "YES", "--version"}, printVersion},
        {{"-psn_0_12345"}, openWindow},  // added by older macOS launches
        {{"--versions"}, openWindow},
        {{"-version"}, openWindow},
        {{"--help"}, printUsage},
        {{"-h"}, printUsage},
        {{"--version", "--help"}, printUsage},
        {{"--helpful"}, openWindow},
    };
    for (const auto& [arguments, request] : cases)
        EXPECT_EQ(readCommandLine(arguments), request) << ::testing::PrintToString(arguments);
    EXPECT_TRUE(usageText("pelko").starts_with("Usage: pelko [--help] [--version]\n"));
}

TEST(ShowAlert, ReturnsBeforeTheAlertRuns) {
    TestApp t;
    t.app->showAlert("Couldn't set up", "Details here");
    EXPECT_TRUE(t.platform.alerts.shown.empty());
    t.platform.mainQueue.runUntilIdle();
    ASSERT_EQ(t.platform.alerts.shown.size(), 1u);
    EXPECT_EQ(t.platform.alerts.shown[0].title, "Couldn't set up");
    EXPECT_EQ(t.platform.alerts.shown[0].message, "Details here");
    EXPECT_TRUE(t.platform.alerts.shown[0].buttons.empty());
}

class ActiveStatus : public ::testing::TestWithParam<std::pair<std::string, bool>> {};

TEST_P(ActiveStatus, IsOneOfTheFivePrefixesAsWritten) {
    const auto& [status, active] = GetParam();
    EXPECT_EQ(isActiveVoiceStatus(status), active);
}

INSTANTIATE_TEST_SUITE_P(Texts, ActiveStatus,
                         ::testing::Values(std::pair{"\u25CF Listening\u2026", true},
                                           std::pair{"Transcribing\u2026", true}, std::pair{"Sending: hi", true},
                                           std::pair{"Waiting for the reply\u2026", true},
                                           std::pair{"Speaking the reply\u2026", true},
                                           std::pair{"Sent (voice replies off)", false},
                                           std::pair{"sending: lower case", false}, std::pair{"Voice ready", false}));

// Where a key-down comes from: the main window, another window, or no window at all.
enum class From { mainWindow, otherWindow, noWindow, noWindowWhenThereIsNoMainWindow, alertWhenThereIsNoMainWindow };

struct KeyCase {
    const char* name;
    std::uint64_t flags;
    unsigned short keyCode;
    From from;
    bool repeat;
    ShortcutDecision expected;
};

class Shortcut : public ::testing::TestWithParam<KeyCase> {};

TEST_P(Shortcut, IsControlShiftSpaceInTheMainWindowOnly) {
    const auto& c = GetParam();
    FakeWindow main, other;
    const Window* window = c.from == From::mainWindow ? &main : c.from == From::otherWindow ? &other : nullptr;
    const bool noMainWindow =
        c.from == From::noWindowWhenThereIsNoMainWindow || c.from == From::alertWhenThereIsNoMainWindow;
    const bool foreign = c.from == From::alertWhenThereIsNoMainWindow;
    EXPECT_EQ(ctrlShiftSpaceDecision(KeyEvent{window, c.flags, c.keyCode, c.repeat, foreign}, noMainWindow ? nullptr : &main),
              c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, Shortcut,
    ::testing::Values(
        KeyCase{"ctrlShiftSpace", kCtrlShift, 49, From::mainWindow, false, ShortcutDecision::toggle},
        KeyCase{"withCapsLockAndFunction", kCtrlShift | kModifierCapsLock | kModifierFunction, 49, From::mainWindow,
                false, ShortcutDecision::toggle},
        KeyCase{"autoRepeat", kCtrlShift, 49, From::mainWindow, true, ShortcutDecision::swallowRepeat},
        KeyCase{"withOption", kCtrlShift | kModifierOption, 49, From::mainWindow, false, ShortcutDecision::passOn},
        KeyCase{"withCommand", kCtrlShift | kModifierCommand, 49, From::mainWindow, false, ShortcutDecision::passOn},
        KeyCase{"ctrlSpace", kModifierControl, 49, From::mainWindow, false, ShortcutDecision::passOn},
        KeyCase{"otherKey", kCtrlShift, 50, From::mainWindow, false, ShortcutDecision::passOn},
        KeyCase{"otherWindow", kCtrlShift, 49, From::otherWindow, false, ShortcutDecision::passOn},
        KeyCase{"noWindow", kCtrlShift, 49, From::noWindow, false, ShortcutDecision::passOn},
        KeyCase{"noWindowAndNoMainWindow", kCtrlShift, 49, From::noWindowWhenThereIsNoMainWindow, false,
                ShortcutDecision::toggle},
        KeyCase{"alertAndNoMainWindow", kCtrlShift, 49, From::alertWhenThereIsNoMainWindow, false,
                ShortcutDecision::passOn}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(Shortcut, TogglesPushToTalkOncePerPressAndSwallowsTheKey) {
    TestApp t;
    t.launch();
    auto& application = t.platform.application;
    EXPECT_FALSE(application.sendKeyDown(KeyEvent{&t.window(), kCtrlShift, 49, false}));
    EXPECT_FALSE(application.sendKeyDown(KeyEvent{&t.window(), kCtrlShift, 49, true}));
    EXPECT_TRUE(application.sendKeyDown(KeyEvent{&t.window(), kModifierControl, 49, false}));
    EXPECT_EQ(t.platform.permissions.microphoneRequests, 1);

    const Window* window = &t.window();
    t.app.reset();  // once the controller is gone, every key goes on
    EXPECT_TRUE(application.sendKeyDown(KeyEvent{window, kCtrlShift, 49, false}));
}

TEST(StatusLine, TheListeningHintNamesThePlatformsChordInTheSamePlace) {
    using voice_status::kListeningStarted;
    EXPECT_EQ(pushToTalkChordName(HostPlatform::mac), "\u21E7\u2318Space");
    EXPECT_EQ(pushToTalkChordName(HostPlatform::linux), "Shift+Ctrl+Space");
    EXPECT_EQ(shownVoiceStatus(kListeningStarted, HostPlatform::mac), kListeningStarted);
    const std::string linuxHint = "\u25CF Listening\u2026 (press Shift+Ctrl+Space again to send)";
    EXPECT_EQ(shownVoiceStatus(kListeningStarted, HostPlatform::linux), linuxHint);
    // A transcript is shown as it was heard.
    EXPECT_EQ(shownVoiceStatus("\u25CF press \u21E7\u2318Space", HostPlatform::linux), "\u25CF press \u21E7\u2318Space");

    TestApp t(HostPlatform::linux);
    t.launch();
    t.app->voiceStatusChanged(kListeningStarted);
    EXPECT_EQ(t.app->voiceStatusItem()->title(), "Status: " + linuxHint);
    EXPECT_EQ(t.window().shownTitle, "Pelko \u2014 " + linuxHint);
}

struct HistoryCase {
    const char* name;
    HostPlatform platform;
    std::uint64_t flags;
    unsigned short keyCode;
    bool inMainWindow;
    HistoryMove expected;
};

void PrintTo(const HistoryCase& c, std::ostream* os) { *os << c.name; }

class HistoryKeys : public ::testing::TestWithParam<HistoryCase> {};

TEST_P(HistoryKeys, AreAltLeftAndRightInTheMainWindowOnLinux) {
    const auto& c = GetParam();
    FakeWindow main, other;
    const KeyEvent event{c.inMainWindow ? &main : &other, c.flags, c.keyCode, false, false};
    EXPECT_EQ(historyMoveForKeyDown(event, &main, c.platform), c.expected);
}

constexpr auto kLinux = HostPlatform::linux;

INSTANTIATE_TEST_SUITE_P(
    Keys, HistoryKeys,
    ::testing::Values(HistoryCase{"altLeft", kLinux, kModifierOption, 123, true, HistoryMove::back},
                      HistoryCase{"altRight", kLinux, kModifierOption, 124, true, HistoryMove::forward},
                      HistoryCase{"altRightWithCapsLock", kLinux, kModifierOption | kModifierCapsLock, 124, true,
                                  HistoryMove::forward},
                      HistoryCase{"left", kLinux, 0, 123, true, HistoryMove::none},
                      HistoryCase{"altShiftLeftSelects", kLinux, kModifierOption | kModifierShift, 123, true,
                                  HistoryMove::none},
                      HistoryCase{"ctrlAltLeft", kLinux, kModifierOption | kModifierControl, 123, true,
                                  HistoryMove::none},
                      HistoryCase{"altUp", kLinux, kModifierOption, 126, true, HistoryMove::none},
                      HistoryCase{"otherWindow", kLinux, kModifierOption, 123, false, HistoryMove::none},
                      HistoryCase{"optionLeftOnTheMacMovesByWord", HostPlatform::mac, kModifierOption, 123, true,
                                  HistoryMove::none}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(HistoryKeys, TheMousesBackAndForwardButtonsGoBackAndForwardAndAreSwallowed) {
    FakeWindow main;
    EXPECT_EQ(historyMoveForMouseDown({&main, 3, false}, &main), HistoryMove::back);
    EXPECT_EQ(historyMoveForMouseDown({&main, 4, false}, &main), HistoryMove::forward);
    EXPECT_EQ(historyMoveForMouseDown({&main, 2, false}, &main), HistoryMove::none);
    EXPECT_EQ(historyMoveForMouseDown({nullptr, 3, true}, &main), HistoryMove::none);

    TestApp t(HostPlatform::linux);
    t.launch();
    t.webView().backItems = 2;
    t.webView().forwardItems = 1;
    auto& application = t.platform.application;
    EXPECT_FALSE(application.sendOtherMouseDown({&t.window(), 3, false}));
    EXPECT_EQ(t.webView().forwards, 0);  // back only, though forward could go
    EXPECT_FALSE(application.sendKeyDown(KeyEvent{&t.window(), kModifierOption, 123, false}));
    EXPECT_FALSE(application.sendKeyDown(KeyEvent{&t.window(), kModifierOption, 124, false}));
    EXPECT_TRUE(application.sendOtherMouseDown({&t.window(), 2, false}));  // the middle button is the page's
    EXPECT_TRUE(application.sendKeyDown(KeyEvent{&t.window(), 0, 123, false}));
    EXPECT_EQ(t.webView().backs, 2);
    EXPECT_EQ(t.webView().forwards, 1);
}

TEST(StatusLine, EveryStatusReachesTheStatusItemAndActiveOnesTheTitle) {
    TestApp t;
    t.launch();
    EXPECT_EQ(t.app->voiceStatusItem()->title(), "Status: Voice ready");
    t.app->voice()->handleBridgeEvent({{"event", "replyStarted"}});
    EXPECT_EQ(t.app->voiceStatusItem()->title(), "Status: Speaking the reply\u2026");
    EXPECT_EQ(t.window().shownTitle, "Pelko \u2014 Speaking the reply\u2026");
    t.app->voice()->handleBridgeEvent({{"event", "replyFailed"}});
    EXPECT_EQ(t.window().shownTitle, "Pelko");
}

TEST(MenuBar, AimsTheControllersItemsAtItAndShowsTheStatusDisabled) {
    TestApp t;
    t.platform.userDefaults.values["voiceSpeakReplies"] = false;
    t.launch();
    for (const auto& top : t.platform.application.mainMenu->items())
        for (const auto& item : top->submenu()->items())
            EXPECT_EQ(item->target(), item->action() >= MenuAction::checkForUpdateManual ? t.app.get() : nullptr)
                << item->title();
    EXPECT_EQ(t.platform.application.menuItem("Speak Replies Automatically")->state(), MenuItemState::off);
    EXPECT_EQ(t.app->voiceStatusItem(), t.platform.application.menuItem("Status: Voice ready"));
    EXPECT_FALSE(t.app->voiceStatusItem()->isEnabled());
}

TEST(MenuBar, ItemsActOnTheWebViewTheVoiceAndTheSetting) {
    TestApp t;
    t.platform.userDefaults.values["voiceSpeakReplies"] = "not a Boolean";
    t.launch();
    auto choose = [&](const std::string& title, bool isARepeat = false) {
        auto item = t.platform.application.menuItem(title);
        t.app->performMenuAction(item->action(), *item, isARepeat);
    };
    choose("Back");  // no history: nothing
    choose("Forward");
    t.webView().backItems = 1;
    choose("Back");
    choose("Back");
    choose("Reload");
    choose("Home");
    EXPECT_EQ(t.webView().backs, 1);
    EXPECT_EQ(t.webView().forwards, 0);
    EXPECT_EQ(t.webView().reloads, 1);
    EXPECT_EQ(t.webView().loads.size(), 2u);
    EXPECT_EQ(t.webView().loads[1], t.webView().loads[0]);

    auto speakReplies = t.platform.application.menuItem("Speak Replies Automatically");
    EXPECT_EQ(speakReplies->state(), MenuItemState::on);
    choose("Speak Replies Automatically");
    EXPECT_EQ(speakReplies->state(), MenuItemState::off);
    EXPECT_EQ(t.platform.userDefaults.values["voiceSpeakReplies"], json(false));
    choose("Speak Replies Automatically");
    EXPECT_EQ(speakReplies->state(), MenuItemState::on);
    EXPECT_EQ(t.platform.userDefaults.values["voiceSpeakReplies"], json(true));

    choose("Push to Talk", /*isARepeat=*/true);  // a held key equivalent does not toggle
    EXPECT_EQ(t.platform.permissions.microphoneRequests, 0);
    choose("Push to Talk");
    EXPECT_EQ(t.platform.permissions.microphoneRequests, 1);
}

}  // namespace
