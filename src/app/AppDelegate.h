#pragma once

#include "platform/CoreGuard.h"

#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "agent/AgentInstaller.h"
#include "app/AppConfig.h"
#include "install/Relocator.h"
#include "platform/Application.h"
#include "platform/Menu.h"
#include "platform/Ports.h"
#include "platform/WebView.h"
#include "platform/WebViewConfiguration.h"
#include "platform/WebViewDelegates.h"
#include "platform/Window.h"
#include "web/Downloads.h"
#include "web/NavigationPolicy.h"

namespace pelko {

class UnreachablePage;
class UpdateChecker;
class VoiceController;

// The application controller: it runs the launch sequence, takes every
// delegate role the platform calls and hands each to the part that decides.
// It owns the window, the web view and the subsystems. Main thread only,
// except `showAlert`. Always owned by a std::shared_ptr: callbacks that may
// come late hold it weakly.
class AppDelegate : public ApplicationDelegate,
                    public WindowDelegate,
                    public NavigationDelegate,
                    public UIDelegate,
                    public DownloadDelegate,
                    public ScriptMessageHandler,
                    public MenuActionTarget,
                    public std::enable_shared_from_this<AppDelegate> {
public:
    AppDelegate(Ports ports, AppConfig config);
    ~AppDelegate() override;
    AppDelegate(const AppDelegate&) = delete;
    AppDelegate& operator=(const AppDelegate&) = delete;

    // Application and window.
    void applicationDidFinishLaunching() override;
    bool applicationShouldTerminateAfterLastWindowClosed() override;
    bool windowShouldClose() override;
    bool applicationShouldHandleReopen(bool hasVisibleWindows) override;
    std::string appVersion() const;
    // Any thread. Returns at once; the alert runs later on the main queue.
    void showAlert(const std::string& title, const std::string& message);

    // Menu actions.
    void performMenuAction(MenuAction action, MenuItem& sender, bool isARepeat) override;
    void reloadPage();
    void pushToTalkToggled(bool isARepeat = false);
    void speakRepliesToggled(MenuItem& sender);
    void goBack();
    void goForward();
    void goHome();

    // The voice status line and the second push-to-talk shortcut.
    void voiceStatusChanged(const std::string& status);
    void installCtrlShiftSpaceAlias();
    // Back and Forward by the platform's keys and the mouse's buttons.
    void installHistoryShortcuts();

    // What the web view asks of the application.
    void didFinishNavigation() override;
    bool didFailNavigation(const NavigationError& error) override;
    void decidePolicyForNavigationAction(const NavigationAction& action, NavigationActionDecision decisionHandler) override;
    void decidePolicyForNavigationResponse(const NavigationResponse& response,
                                           NavigationResponseDecision decisionHandler) override;
    void createWebViewForNavigationAction(const NavigationAction& action) override;
    void runOpenPanel(const OpenPanelParameters& parameters, OpenPanelCompletion completionHandler) override;
    void navigationDidBecomeDownload(const DownloadRef& download) override;
    void decideDestination(const DownloadRef& download, const std::string& suggestedFilename,
                           DownloadDestinationCompletion completionHandler) override;
    void downloadDidFinish(const DownloadRef& download) override;
    void downloadDidFail(const DownloadRef& download, const DownloadFailure& failure) override;
    // The page bridge: messages dispatched by their "type".
    void didReceiveScriptMessage(const ScriptMessage& message) override;

    void checkForUpdateManual();

    // What the launch made; null before it, and after a launch stopped for relocation.
    Window* window() const { return window_.get(); }
    const std::shared_ptr<WebView>& webView() const { return webView_; }
    const std::shared_ptr<VoiceController>& voice() const { return voice_; }
    const std::shared_ptr<MenuItem>& voiceStatusItem() const { return voiceStatusItem_; }

    // Forwards to the parts that do the work.
    // True when a relaunch of a moved copy is under way.
    bool relocateToApplicationsIfNeeded();
    void setupIMessageAgent(const std::string& pairingCode, const std::string& apiBase);
    void disconnectIMessageAgent();
    bool runLaunchctl(const std::vector<std::string>& arguments);
    // The silent launch-time check.
    void checkForUpdate();

private:
    void createVoiceController();

    const Ports ports_;
    const AppConfig config_;
    Downloads downloads_;
    Relocator relocator_;
    AgentInstaller agentInstaller_;
    const std::shared_ptr<UpdateChecker> updateChecker_;
    std::unique_ptr<WebViewConfiguration> configuration_;
    std::unique_ptr<Window> window_;
    std::shared_ptr<WebView> webView_;  // the voice controller holds it weakly
    std::shared_ptr<VoiceController> voice_;
    // Shows the app's own page when an in-app page cannot be reached; needs the window and the web view.
    std::unique_ptr<UnreachablePage> unreachablePage_;
    std::shared_ptr<MenuItem> voiceStatusItem_;
    std::unique_ptr<MonitorToken> ctrlShiftSpaceMonitor_;
    std::unique_ptr<MonitorToken> historyKeyMonitor_;
    std::unique_ptr<MonitorToken> historyMouseMonitor_;
};

}  // namespace pelko
