#pragma once

#include <map>
#include <memory>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "agent/AgentInstaller.h"
#include "app/AppConfig.h"
#include "app/AppDelegate.h"
#include "fakes/FakeAlerts.h"
#include "fakes/FakeFiles.h"
#include "fakes/FakeMainQueue.h"
#include "fakes/FakeOpenPanels.h"
#include "fakes/FakeProcesses.h"
#include "fakes/FakeUrlSession.h"
#include "fakes/FakeVoicePorts.h"
#include "fakes/FakeWorkspace.h"
#include "install/Relocator.h"
#include "platform/Application.h"
#include "platform/Bundle.h"
#include "platform/DiskImages.h"
#include "platform/DownloadOrigins.h"
#include "platform/Menu.h"
#include "platform/NetworkMonitor.h"
#include "platform/Ports.h"
#include "platform/Toolkit.h"
#include "platform/Url.h"
#include "platform/UserDefaults.h"
#include "platform/WebView.h"
#include "platform/WebViewConfiguration.h"
#include "platform/Window.h"
#include "voice/VoiceController.h"
#include "web/Downloads.h"

namespace pelko::test {

inline constexpr const char* kTestOrigin = "https://pelko.test";

// Takes any text with a scheme as a URL; the tests read only its text.
class FakeUrls : public Urls {
public:
    std::optional<Url> urlFromString(const std::string& text) const override {
        const auto colon = text.find(':');
        if (colon == std::string::npos || colon == 0) return std::nullopt;
        return Url{text, text.substr(0, colon), "", std::nullopt, ""};
    }
};

class FakeBundle : public Bundle {
public:
    std::string bundlePath() const override { return path; }
    bool isApplicationBundle() const override { return isBundle; }
    std::optional<nlohmann::json> objectForInfoDictionaryKey(const std::string& key) const override {
        return info.contains(key) ? std::optional(info[key]) : std::nullopt;
    }
    nlohmann::json info = {{"CFBundleShortVersionString", "1.4.2"}};
    std::string path = "/Applications/Pelko.app";
    bool isBundle = true;
};

// Answers from a set of mount paths, and records each question.
class FakeDiskImages : public DiskImages {
public:
    bool isMountedDiskImage(const std::string& mountPath) const override {
        asked.push_back(mountPath);
        return mounted.contains(mountPath);
    }
    std::set<std::string> mounted;
    mutable std::vector<std::string> asked;
};

class FakeWindow : public Window {
public:
    void setTitle(const std::string& text) override { shownTitle = text; }
    std::string title() const override { return shownTitle; }
    void setFrameAutosaveName(const std::string& name) override { autosaveName = name; }
    void setContentView(WebView& view) override { contentView = &view; }
    void setMinSize(Size size) override { minSize = size; }
    void setDelegate(WindowDelegate* /*delegate*/) override {}
    void center() override { centered = true; }
    void makeKeyAndOrderFront() override { visible = true; }
    void orderOut() override { visible = false; }
    bool isVisible() const override { return visible; }

    std::string shownTitle;
    std::string autosaveName;
    WebView* contentView = nullptr;
    Size minSize;
    bool visible = false;
    bool centered = false;
    Rect contentRect;
    unsigned styleMask = 0;
};

class FakeWebViewConfiguration : public WebViewConfiguration {
public:
    void setWebsiteDataStorePersistent() override {}
    void setJavaScriptCanOpenWindowsAutomatically(bool allow) override { canOpenWindows = allow; }
    void setMediaTypesRequiringUserActionForPlayback(unsigned types) override { mediaTypesRequiringUserAction = types; }
    void addUserScript(const UserScript& script) override { userScripts.push_back(script); }
    void addScriptMessageHandler(ScriptMessageHandler* handler, const std::string& name) override {
        handlers[name] = handler;
    }

    bool canOpenWindows = false;
    unsigned mediaTypesRequiringUserAction = 0;
    std::vector<UserScript> userScripts;
    std::map<std::string, ScriptMessageHandler*> handlers;
};

class FakeWebView : public WebView {
public:
    void setNavigationDelegate(NavigationDelegate* d) override { navigationDelegate = d; }
    void setUIDelegate(UIDelegate* d) override { uiDelegate = d; }
    void setAllowsBackForwardNavigationGestures(bool allow) override { backForwardGestures = allow; }
    void setCustomUserAgent(const std::string& ua) override { userAgent = ua; }
    void loadRequest(const UrlRequest& request) override { loads.push_back(request); }
    void reload() override { ++reloads; }
    bool canGoBack() const override { return backItems > 0; }
    void goBack() override { --backItems, ++backs; }
    bool canGoForward() const override { return forwardItems > 0; }
    void goForward() override { --forwardItems, ++forwards; }
    std::optional<Url> url() const override { return currentURL; }
    bool isLoading() const override { return loading; }
    void loadAlternateHTML(const std::string& html, const Url& unreachableURL) override {
        alternates.push_back({html, unreachableURL});
    }
    void evaluateJavaScript(const std::string& script, ScriptCompletion completion) override {
        evaluations.push_back({script, std::move(completion)});
    }

    struct Evaluation {
        std::string script;
        ScriptCompletion completion;
    };
    struct Alternate {
        std::string html;
        Url unreachableURL;
    };
    std::vector<Evaluation> evaluations;
    std::vector<Alternate> alternates;
    std::vector<UrlRequest> loads;
    std::optional<Url> currentURL;
    NavigationDelegate* navigationDelegate = nullptr;
    UIDelegate* uiDelegate = nullptr;
    bool backForwardGestures = false;
    bool loading = false;
    std::string userAgent;
    int reloads = 0, backItems = 0, backs = 0, forwardItems = 0, forwards = 0;
    Rect frame;
    // What the page gets: a copy of the configuration as it was when the web
    // view was made, as WKWebView takes it (WebKitGTK would share it).
    FakeWebViewConfiguration configuration;
};

// Keeps a pointer to each object it makes; the code under test owns them.
class FakeToolkit : public Toolkit {
public:
    std::unique_ptr<WebViewConfiguration> makeWebViewConfiguration() override {
        return keep(configuration, std::make_unique<FakeWebViewConfiguration>());
    }
    std::unique_ptr<WebView> makeWebView(Rect frame, WebViewConfiguration& configurationMade) override {
        auto made = keep(webView, std::make_unique<FakeWebView>());
        made->frame = frame;
        made->configuration = dynamic_cast<FakeWebViewConfiguration&>(configurationMade);
        return made;
    }
    std::unique_ptr<Window> makeWindow(Rect contentRect, unsigned styleMask) override {
        auto made = keep(window, std::make_unique<FakeWindow>());
        loadsBeforeWindow = webView ? webView->loads.size() : 0;
        made->contentRect = contentRect;
        made->styleMask = styleMask;
        return made;
    }

    FakeWebViewConfiguration* configuration = nullptr;
    FakeWebView* webView = nullptr;
    FakeWindow* window = nullptr;
    std::size_t loadsBeforeWindow = 0;  // the web view's loads when the window was made

private:
    template <typename T>
    static std::unique_ptr<T> keep(T*& pointer, std::unique_ptr<T> made) {
        pointer = made.get();
        return made;
    }
};

class FakeApplication : public Application {
public:
    void activateIgnoringOtherApps() override { ++activations; }
    void terminate() override { ++terminations; }
    void setMainMenu(std::shared_ptr<Menu> menu) override { mainMenu = std::move(menu); }
    std::unique_ptr<MonitorToken> addLocalMonitorForKeyDownEvents(KeyEventMonitor handler) override {
        monitors.push_back(std::move(handler));
        return std::make_unique<MonitorToken>();
    }

    std::unique_ptr<MonitorToken> addLocalMonitorForOtherMouseDownEvents(OtherMouseDownMonitor handler) override {
        mouseMonitors.push_back(std::move(handler));
        return std::make_unique<MonitorToken>();
    }
    // Delivers a press of another mouse button to the installed monitors; true when it went on.
    bool sendOtherMouseDown(const OtherMouseDownEvent& event) {
        for (auto& monitor : mouseMonitors)
            if (!monitor(event)) return false;
        return true;
    }

    // Delivers a key-down to the installed monitors; true when it went on.
    bool sendKeyDown(const KeyEvent& event) {
        for (auto& monitor : monitors)
            if (!monitor(event)) return false;
        return true;
    }
    std::shared_ptr<MenuItem> menuItem(const std::string& title, const Menu* menu = nullptr) const {
        if (!menu && !(menu = mainMenu.get())) return nullptr;
        for (const auto& item : menu->items()) {
            if (item->title() == title) return item;
            if (auto found = item->submenu() ? menuItem(title, item->submenu().get()) : nullptr) return found;
        }
        return nullptr;
    }

    std::shared_ptr<Menu> mainMenu;
    std::vector<KeyEventMonitor> monitors;
    std::vector<OtherMouseDownMonitor> mouseMonitors;
    int activations = 0;
    int terminations = 0;
};

class FakeUserDefaults : public UserDefaults {
public:
    std::optional<nlohmann::json> objectForKey(const std::string& key) const override {
        return values.contains(key) ? std::optional(values[key]) : std::nullopt;
    }
    void setBool(const std::string& key, bool value) override { values[key] = value; }
    nlohmann::json values = nlohmann::json::object();
};

// The network as the test sets it.
class FakeNetworkMonitor : public NetworkMonitor {
public:
    std::unique_ptr<MonitorToken> start(std::function<void(bool)> handler) override {
        handler_ = std::move(handler);
        struct Token : MonitorToken {
            explicit Token(FakeNetworkMonitor& owner) : monitor(owner) {}
            ~Token() override { monitor.handler_ = nullptr; }
            FakeNetworkMonitor& monitor;
        };
        return std::make_unique<Token>(*this);
    }
    // Reports the state, as the platform does.
    void set(bool available) {
        if (handler_) handler_(available);
    }
    bool started() const { return static_cast<bool>(handler_); }

private:
    std::function<void(bool)> handler_;
};

// Records each origin with how many desktop calls (reveal, open) came before it.
class FakeDownloadOrigins : public DownloadOrigins {
public:
    explicit FakeDownloadOrigins(const FakeWorkspace& workspace) : workspace_(workspace) {}
    void recordOrigin(const std::string& path, const DownloadOrigin& origin) override {
        recorded.push_back({path, origin, workspace_.revealed.size() + workspace_.openedFiles.size()});
    }

    struct Record {
        std::string path;
        DownloadOrigin origin;
        std::size_t desktopCallsBefore = 0;
    };
    std::vector<Record> recorded;

private:
    const FakeWorkspace& workspace_;
};

// Every port, faked.
struct FakePlatform {
    FakeMainQueue mainQueue;
    FakeUrls urls;
    FakeUrlSession urlSession;
    FakeAlerts alerts;
    FakeBundle bundle;
    FakeToolkit toolkit;
    FakeApplication application;
    FakeUserDefaults userDefaults;
    FakeWorkspace workspace;
    FakeFiles files;
    FakeOpenPanels openPanels;
    FakeProcesses processes;
    FakeNetworkMonitor networkMonitor;
    FakeDownloadOrigins downloadOrigins{workspace};
    FakeAudio audio;
    FakeSpeech speech;
    FakePermissions permissions;
    FakeDiskImages diskImages;

    Ports ports() {
        return Ports{&application, &alerts,     &bundle,    &mainQueue, &toolkit, &urls,   &urlSession, &userDefaults,
                     &workspace,   &files,      &openPanels, &processes, &networkMonitor, &downloadOrigins, &audio,
                     &speech,      &permissions, &diskImages};
    }
    // The ports of each subsystem, for the tests that make one alone.
    Downloads::UsedPorts downloadsPorts() { return {files, workspace, downloadOrigins, mainQueue, alerts}; }
    Relocator::UsedPorts relocatorPorts() { return {bundle, alerts, files, diskImages, processes, application}; }
    AgentInstaller::UsedPorts agentPorts() { return {files, processes, bundle, mainQueue, alerts}; }
    VoiceController::UsedPorts voicePorts() {
        return {audio, speech, permissions, userDefaults, mainQueue, alerts, workspace, urls};
    }
};

// The controller over fake ports, for the service at kTestOrigin.
struct TestApp {
    FakePlatform platform;
    std::shared_ptr<AppDelegate> app;

    explicit TestApp(HostPlatform host = HostPlatform::mac) {
        app = std::make_shared<AppDelegate>(
            platform.ports(), std::get<AppConfig>(makeAppConfig(platform.urls, kTestOrigin, host, true)));
    }
    void launch() { app->applicationDidFinishLaunching(); }
    FakeWindow& window() { return *platform.toolkit.window; }
    FakeWebView& webView() { return *platform.toolkit.webView; }
    // What the web view reports reaches the app through the delegates the app
    // gave it, as on the platforms.
    NavigationDelegate& navigation() { return given(webView().navigationDelegate); }
    UIDelegate& ui() { return given(webView().uiDelegate); }

private:
    template <typename Delegate>
    static Delegate& given(Delegate* delegate) {
        if (!delegate) throw std::logic_error("the app gave the web view no delegate");
        return *delegate;
    }
};

}  // namespace pelko::test
