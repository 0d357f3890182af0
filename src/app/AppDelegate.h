#pragma once

#include "platform/CoreGuard.h"

#include <memory>
#include <optional>
#include <string>

#include "app/AppConfig.h"
#include "platform/Application.h"
#include "platform/Menu.h"
#include "platform/Ports.h"
#include "platform/Url.h"
#include "platform/WebView.h"
#include "platform/WebViewConfiguration.h"
#include "platform/WebViewDelegates.h"
#include "platform/Window.h"

namespace pelko {

class VoiceController;

// The one application controller. It holds all application state and takes
// every delegate role; its members are defined in the folder of the
// subsystem they belong to. Main thread only, except `showAlert`.
class AppDelegate : public ApplicationDelegate,
                    public WindowDelegate,
                    public NavigationDelegate,
                    public UIDelegate,
                    public DownloadDelegate,
                    public ScriptMessageHandler,
                    public MenuActionTarget,
                    public std::enable_shared_from_this<AppDelegate> {
public:
    AppDelegate(Ports ports, AppConfig config, ProcessValues values);
    ~AppDelegate() override;
    AppDelegate(const AppDelegate&) = delete;
    AppDelegate& operator=(const AppDelegate&) = delete;

    // Fields, in this order.
    std::unique_ptr<Window> window;
    std::shared_ptr<WebView> webView;                // the voice controller holds it weakly
    std::optional<std::string> pendingDownloadDest;  // a file path
    std::shared_ptr<VoiceController> voice;
    std::shared_ptr<MenuItem> voiceStatusItem;
    std::unique_ptr<MonitorToken> ctrlShiftSpaceMonitor;

    // app/AppDelegate.cpp: launch, window, version, alerts.
    void applicationDidFinishLaunching() override;
    bool applicationShouldTerminateAfterLastWindowClosed() override;
    bool windowShouldClose() override;
    bool applicationShouldHandleReopen(bool hasVisibleWindows) override;
    std::string appVersion() const;
    // Any thread. Returns at once; the alert runs later on the main queue.
    void showAlert(const std::string& title, const std::string& message);

    // app/MenuBar.cpp: the menu bar and its actions.
    std::shared_ptr<Menu> buildMainMenu();
    void performMenuAction(MenuAction action, MenuItem& sender, bool isARepeat) override;
    void reloadPage();
    void pushToTalkToggled(bool isARepeat = false);
    void speakRepliesToggled(MenuItem& sender);
    void goBack();
    void goForward();
    void goHome();

    // app/StatusLine.cpp: the voice status line and the shortcut.
    void voiceStatusChanged(const std::string& status);
    void installCtrlShiftSpaceAlias();

    // web/NavigationPolicy.cpp, web/Popups.cpp
    void didFinishNavigation() override;
    void decidePolicyForNavigationAction(const NavigationAction& action, NavigationActionDecision decisionHandler) override;
    void decidePolicyForNavigationResponse(const NavigationResponse& response,
                                           NavigationResponseDecision decisionHandler) override;
    void createWebViewForNavigationAction(const NavigationAction& action) override;
    void runOpenPanel(const OpenPanelParameters& parameters, OpenPanelCompletion completionHandler) override;

    // web/Downloads.cpp
    void navigationDidBecomeDownload(const DownloadRef& download) override;
    void decideDestination(const DownloadRef& download, const std::string& suggestedFilename,
                           DownloadDestinationCompletion completionHandler) override;
    void downloadDidFinish(const DownloadRef& download) override;
    void downloadDidFail(const DownloadRef& download, const std::string& localizedDescription) override;

    // web/PageBridge.cpp
    void didReceiveScriptMessage(const ScriptMessage& message) override;

    // update/UpdateCheck.cpp
    void checkForUpdateManual();

    const AppConfig& config() const { return config_; }
    const ProcessValues& processValues() const { return values_; }
    const Ports& ports() const { return ports_; }

protected:
    // install/Relocation.cpp. True when a relaunch of a moved copy is under way.
    virtual bool relocateToApplicationsIfNeeded();
    // agent/AgentSetup.cpp
    virtual void setupIMessageAgent(const std::string& pairingCode, const std::string& apiBase);
    virtual void disconnectIMessageAgent();
    // update/UpdateCheck.cpp. The silent launch-time check.
    virtual void checkForUpdate();

private:
    // voice/VoiceWiring.cpp: launch step 8.
    void createVoiceController();
    void handleVoiceBridgeEvent(const nlohmann::json& message);
    std::string voiceStatusText() const;
    bool voiceSpeakReplies() const;

    Ports ports_;
    AppConfig config_;
    ProcessValues values_;
    SecurityOrigin serviceOrigin_;
    std::unique_ptr<WebViewConfiguration> configuration_;
};

}  // namespace pelko
