#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "fakes/FakeAlerts.h"
#include "fakes/FakeWorkspace.h"
#include "World.h"
#include "app/AppDelegate.h"
#include "gtk/ApplicationLifecycle.h"

typedef struct _GtkWindow GtkWindow;
typedef struct _WebKitWebView WebKitWebView;

namespace pelko::e2e {

// The controller with what tests need to see: the calls that leave the
// core for the agent and the update check, every raw bridge message, every
// navigation, download and UI callback the backend forwards. A test may
// take over a decision by setting the matching hook; otherwise the core
// decides.
class RecordingAppDelegate : public AppDelegate {
public:
    using AppDelegate::AppDelegate;

    std::vector<std::string> agentCalls;
    std::vector<ScriptMessage> scriptMessages;
    std::vector<NavigationAction> navigationActions;
    std::vector<NavigationResponse> navigationResponses;
    std::vector<NavigationAction> popupRequests;
    std::vector<OpenPanelParameters> openPanels;
    std::vector<DownloadRef> becameDownloads;
    std::vector<std::string> suggestedFilenames;
    std::vector<DownloadRef> finishedDownloads;
    std::vector<std::string> failedDownloads;
    int reopens = 0;

    std::function<void(const NavigationAction&, NavigationActionDecision)> onNavigationAction;
    std::function<void(const NavigationResponse&, NavigationResponseDecision)> onNavigationResponse;
    std::function<void(const OpenPanelParameters&, OpenPanelCompletion)> onOpenPanel;
    std::function<void(const DownloadRef&, const std::string&, DownloadDestinationCompletion)> onDecideDestination;

    void didReceiveScriptMessage(const ScriptMessage& message) override;
    void decidePolicyForNavigationAction(const NavigationAction& action, NavigationActionDecision decision) override;
    void decidePolicyForNavigationResponse(const NavigationResponse& response,
                                           NavigationResponseDecision decision) override;
    void createWebViewForNavigationAction(const NavigationAction& action) override;
    void runOpenPanel(const OpenPanelParameters& parameters, OpenPanelCompletion completion) override;
    void navigationDidBecomeDownload(const DownloadRef& download) override;
    void decideDestination(const DownloadRef& download, const std::string& suggestedFilename,
                           DownloadDestinationCompletion completion) override;
    void downloadDidFinish(const DownloadRef& download) override;
    void downloadDidFail(const DownloadRef& download, const std::string& localizedDescription) override;
    bool applicationShouldHandleReopen(bool hasVisibleWindows) override;

protected:
    void setupIMessageAgent(const std::string& pairingCode, const std::string& apiBase) override;
    void disconnectIMessageAgent() override;
    void checkForUpdate() override {}
};

// The Linux app assembled from its parts: the real GTK and WebKitGTK ports
// of the shared World, with scripted alerts and a recording workspace, and
// the controller above configured for the demo service's origin.
class TestApp {
public:
    explicit TestApp(DesktopInfo desktopInfo = DesktopInfo{"linux", false, true});
    ~TestApp();
    TestApp(const TestApp&) = delete;
    TestApp& operator=(const TestApp&) = delete;

    // The first activation of the application: the launch sequence.
    void launch();
    // Launches and waits for the home page to finish loading.
    void launchAndWaitForHome();

    RecordingAppDelegate& delegate() { return *delegate_; }
    test::FakeAlerts& alerts() { return alerts_; }
    test::FakeWorkspace& workspace() { return workspace_; }
    GtkWindow* window() const;
    WebKitWebView* webView() const;
    std::string currentURL() const;

    // Does `action` and waits until a load ends at `pathOrURL` (a path on the
    // service origin, or an absolute URL). Whether the load succeeded is not
    // asked: a page the back/forward cache restores may report its own
    // earlier cancellation.
    bool loads(const std::function<void()>& action, const std::string& pathOrURL);
    // Loads `path` on the service origin (or an absolute URL) and waits for the load to end.
    bool load(const std::string& pathOrURL);
    struct Result {
        std::optional<nlohmann::json> value;
        std::optional<std::string> error;
    };
    // Evaluates in the page's main frame and waits for the outcome.
    Result evaluate(const std::string& script);
    // Waits until the script's value equals `expected`.
    bool waitForValue(const std::string& script, const nlohmann::json& expected, std::chrono::milliseconds timeout = 10s);

private:
    test::FakeAlerts alerts_;
    test::FakeWorkspace workspace_;
    std::shared_ptr<RecordingAppDelegate> delegate_;
    std::unique_ptr<gtk::ApplicationLifecycle> lifecycle_;
    int loadsEnded_ = 0;
};

}  // namespace pelko::e2e
