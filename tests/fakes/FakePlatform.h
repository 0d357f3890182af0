#pragma once

#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "fakes/CallLog.h"
#include "fakes/FakeAlerts.h"
#include "fakes/FakeWorkspace.h"
#include "fakes/FakeMainQueue.h"
#include "fakes/FakeVoicePorts.h"
#include "platform/Alerts.h"
#include "platform/Application.h"
#include "platform/Bundle.h"
#include "platform/Menu.h"
#include "platform/Ports.h"
#include "platform/Toolkit.h"
#include "platform/Url.h"
#include "platform/UserDefaults.h"
#include "platform/Workspace.h"
#include "platform/WebView.h"
#include "platform/WebViewConfiguration.h"
#include "platform/WebViewDelegates.h"
#include "platform/Window.h"

namespace pelko::test {

// Parses "scheme://host[:port]/path" well enough for tests.
class FakeUrls : public Urls {
public:
    std::optional<Url> urlFromString(const std::string& text) const override;
};

class FakeBundle : public Bundle {
public:
    std::string bundlePath() const override { return path; }
    std::optional<nlohmann::json> objectForInfoDictionaryKey(const std::string& key) const override;
    std::string path = "/Applications/Pelko.app";
    nlohmann::json info = nlohmann::json::object({{"CFBundleShortVersionString", "1.4.2"}});
};

class FakeWindow : public Window {
public:
    explicit FakeWindow(CallLog& log) : log_(log) {}
    void setTitle(const std::string& title) override;
    std::string title() const override { return title_; }
    void setFrameAutosaveName(const std::string& name) override;
    void setContentView(WebView& view) override;
    void setMinSize(Size size) override;
    void setDelegate(WindowDelegate* delegate) override;
    void center() override { log_.add("window.center"); }
    void makeKeyAndOrderFront() override;
    void orderOut() override;
    bool isVisible() const override { return visible_; }

    WindowDelegate* delegate = nullptr;
    WebView* contentView = nullptr;
    Size minSize;
    Rect contentRect;
    unsigned styleMask = 0;

private:
    CallLog& log_;
    std::string title_;
    bool visible_ = false;
};

class FakeWebView : public WebView {
public:
    explicit FakeWebView(CallLog& log) : log_(log) {}
    void setNavigationDelegate(NavigationDelegate* delegate) override;
    void setUIDelegate(UIDelegate* delegate) override;
    void setAllowsBackForwardNavigationGestures(bool allow) override;
    void setCustomUserAgent(const std::string& userAgent) override;
    void loadRequest(const UrlRequest& request) override;
    void reload() override { log_.add("webView.reload"); }
    bool canGoBack() const override { return backItems > 0; }
    void goBack() override;
    bool canGoForward() const override { return forwardItems > 0; }
    void goForward() override;
    std::optional<Url> url() const override { return currentURL; }
    void evaluateJavaScript(const std::string& script, ScriptCompletion completion) override;

    struct Evaluation {
        std::string script;
        ScriptCompletion completion;
    };
    std::vector<Evaluation> evaluations;
    std::vector<UrlRequest> loads;
    NavigationDelegate* navigationDelegate = nullptr;
    UIDelegate* uiDelegate = nullptr;
    std::string userAgent;
    int backItems = 0;
    int forwardItems = 0;
    std::optional<Url> currentURL;
    Rect frame;

private:
    CallLog& log_;
};

class FakeWebViewConfiguration : public WebViewConfiguration {
public:
    explicit FakeWebViewConfiguration(CallLog& log) : log_(log) {}
    void setWebsiteDataStorePersistent() override { log_.add("configuration.persistentDataStore"); }
    void setJavaScriptCanOpenWindowsAutomatically(bool allow) override;
    void setMediaTypesRequiringUserActionForPlayback(unsigned mediaTypes) override;
    void addUserScript(const UserScript& script) override;
    void addScriptMessageHandler(ScriptMessageHandler* handler, const std::string& name) override;

    std::vector<UserScript> userScripts;
    std::map<std::string, ScriptMessageHandler*> handlers;

private:
    CallLog& log_;
};

class FakeToolkit : public Toolkit {
public:
    explicit FakeToolkit(CallLog& log) : log_(log) {}
    std::unique_ptr<WebViewConfiguration> makeWebViewConfiguration() override;
    std::unique_ptr<WebView> makeWebView(Rect frame, WebViewConfiguration& configuration) override;
    std::unique_ptr<Window> makeWindow(Rect contentRect, unsigned styleMask) override;

    // The last objects made; owned by the code under test.
    FakeWebViewConfiguration* configuration = nullptr;
    FakeWebView* webView = nullptr;
    FakeWindow* window = nullptr;

private:
    CallLog& log_;
};

class FakeApplication : public Application {
public:
    explicit FakeApplication(CallLog& log) : log_(log) {}
    void activateIgnoringOtherApps() override { log_.add("application.activate"); }
    void terminate() override { log_.add("application.terminate"); }
    void setMainMenu(std::shared_ptr<Menu> menu) override;
    std::unique_ptr<MonitorToken> addLocalMonitorForKeyDownEvents(KeyEventMonitor handler) override;

    // Delivers a key-down to the installed monitors; true when it went on.
    bool sendKeyDown(const KeyEvent& event);
    // Finds an item of the main menu by its title.
    std::shared_ptr<MenuItem> menuItem(const std::string& title) const;

    std::shared_ptr<Menu> mainMenu;
    std::vector<KeyEventMonitor> monitors;

private:
    CallLog& log_;
};

class FakeUserDefaults : public UserDefaults {
public:
    std::optional<nlohmann::json> objectForKey(const std::string& key) const override {
        const auto it = values.find(key);
        if (it == values.end()) return std::nullopt;
        return *it;
    }
    void setBool(const std::string& key, bool value) override { values[key] = value; }
    nlohmann::json values = nlohmann::json::object();
};

// Every port, faked, sharing one call log.
struct FakePlatform {
    CallLog log;
    FakeMainQueue mainQueue;
    FakeUrls urls;
    FakeAlerts alerts;
    FakeBundle bundle;
    FakeToolkit toolkit{log};
    FakeApplication application{log};
    FakeUserDefaults userDefaults;
    FakeWorkspace workspace;
    FakeAudio audio;
    FakeSpeech speech;
    FakePermissions permissions;

    Ports ports() {
        Ports p;
        p.application = &application;
        p.alerts = &alerts;
        p.bundle = &bundle;
        p.mainQueue = &mainQueue;
        p.toolkit = &toolkit;
        p.urls = &urls;
        p.userDefaults = &userDefaults;
        p.workspace = &workspace;
        p.audio = &audio;
        p.speech = &speech;
        p.permissions = &permissions;
        return p;
    }
};

}  // namespace pelko::test
