#include "app/AppDelegate.h"

#include "app/DesktopConventions.h"
#include "app/MainMenu.h"
#include "platform/Alerts.h"
#include "platform/Bundle.h"
#include "platform/MainQueue.h"
#include "platform/Toolkit.h"
#include "update/UpdateChecker.h"
#include "voice/VoiceController.h"
#include "web/BridgeMessage.h"
#include "web/DesktopInfoScript.h"
#include "web/UnreachablePage.h"

namespace pelko {

namespace {
constexpr Rect kWebViewFrame{0, 0, 1280, 860};
constexpr Size kWindowMinSize{720, 560};
constexpr const char* kWindowAutosaveName = "PelkoMainWindow";
}  // namespace

AppDelegate::AppDelegate(Ports ports, AppConfig config)
    : ports_(ports),
      config_(std::move(config)),
      downloads_({*ports_.files, *ports_.workspace, *ports_.downloadOrigins, *ports_.mainQueue, *ports_.alerts}),
      relocator_({*ports_.bundle, *ports_.alerts, *ports_.files, *ports_.diskImages, *ports_.processes,
                  *ports_.application}),
      agentInstaller_({*ports_.files, *ports_.processes, *ports_.bundle, *ports_.mainQueue, *ports_.alerts}),
      updateChecker_(std::make_shared<UpdateChecker>(
          UpdateChecker::UsedPorts{*ports_.urlSession, *ports_.urls, *ports_.mainQueue, *ports_.alerts},
          config_.updateFeedURL, [this] { return appVersion(); },
          [this](const Url& url) {
              if (webView_) webView_->loadRequest(UrlRequest{url});
          })),
      voiceStatusItem_(std::make_shared<MenuItem>()) {}

AppDelegate::~AppDelegate() = default;

void AppDelegate::applicationDidFinishLaunching() {
    // A moved copy is being relaunched: this process creates nothing.
    if (relocateToApplicationsIfNeeded()) return;

    // Persistent data, preferences, the bridge.
    configuration_ = ports_.toolkit->makeWebViewConfiguration();
    configuration_->setWebsiteDataStorePersistent();
    configuration_->setJavaScriptCanOpenWindowsAutomatically(true);
    configuration_->setMediaTypesRequiringUserActionForPlayback(kMediaTypeVideo);
    configuration_->addUserScript(UserScript{desktopInfoScript(appVersion(), config_.desktopInfo),
                                             UserScriptInjectionTime::atDocumentStart, false});
    configuration_->addScriptMessageHandler(this, kBridgeHandlerName);

    webView_ = ports_.toolkit->makeWebView(kWebViewFrame, *configuration_);
    webView_->setNavigationDelegate(this);
    webView_->setUIDelegate(this);
    webView_->setAllowsBackForwardNavigationGestures(true);
    webView_->setCustomUserAgent(config_.userAgent);
    // The home page is asked for as soon as the web view can take it, before the
    // window and the menus are built: the engine starts its web process for the
    // first load, and that start, not ours, is the longest wait of the launch.
    // Nothing of it reaches the user earlier: the window is first drawn, and the
    // load's answers are first delivered, once this sequence has returned.
    webView_->loadRequest(UrlRequest{config_.homeURL});

    window_ = ports_.toolkit->makeWindow(
        kWebViewFrame, kWindowStyleTitled | kWindowStyleClosable | kWindowStyleMiniaturizable | kWindowStyleResizable);
    window_->setTitle("Pelko");
    window_->setFrameAutosaveName(kWindowAutosaveName);
    window_->setContentView(*webView_);
    window_->setMinSize(kWindowMinSize);
    window_->setDelegate(this);
    window_->center();
    window_->makeKeyAndOrderFront();
    unreachablePage_ = std::make_unique<UnreachablePage>(
        UnreachablePage::UsedPorts{*ports_.mainQueue, *ports_.networkMonitor}, config_.inAppHosts, *webView_, *window_);

    createVoiceController();

    ports_.application->setMainMenu(buildMainMenu(*this, voice_->speakReplies(), voiceStatusItem_, voice_->status()));
    installCtrlShiftSpaceAlias();
    installHistoryShortcuts();

    ports_.application->activateIgnoringOtherApps();

    // Launch does not wait for it.
    checkForUpdate();
}

void AppDelegate::createVoiceController() {
    voice_ = std::make_shared<VoiceController>(
        webView_, VoiceController::UsedPorts{*ports_.audio, *ports_.speech, *ports_.permissions, *ports_.userDefaults,
                                             *ports_.mainQueue, *ports_.alerts, *ports_.workspace, *ports_.urls});
    std::weak_ptr<AppDelegate> weakSelf = weak_from_this();
    voice_->onStatusChange = [weakSelf](const std::string& status) {
        if (auto self = weakSelf.lock()) self->voiceStatusChanged(status);
    };
}

bool AppDelegate::applicationShouldTerminateAfterLastWindowClosed() { return closingTheWindowQuits(config_.platform); }

bool AppDelegate::windowShouldClose() {
    if (closingTheWindowQuits(config_.platform)) {
        // Gone at once, as the application ends.
        if (window_) window_->orderOut();
        ports_.application->terminate();
        return false;
    }
    // Only hide: the web view and its page stay alive for the next reopen.
    if (window_) window_->orderOut();
    return false;
}

bool AppDelegate::applicationShouldHandleReopen(bool hasVisibleWindows) {
    if (hasVisibleWindows) return true;
    if (window_) window_->makeKeyAndOrderFront();
    ports_.application->activateIgnoringOtherApps();
    if (unreachablePage_) unreachablePage_->windowDidShow();
    return true;
}

std::string AppDelegate::appVersion() const {
    const auto value = ports_.bundle->objectForInfoDictionaryKey("CFBundleShortVersionString");
    if (value && value->is_string()) return value->get<std::string>();
    return "0";
}

void AppDelegate::showAlert(const std::string& title, const std::string& message) {
    queueAlert(*ports_.mainQueue, *ports_.alerts, title, message);
}

void AppDelegate::checkForUpdate() { updateChecker_->checkForUpdate(); }
void AppDelegate::checkForUpdateManual() { updateChecker_->checkForUpdateManual(); }

bool AppDelegate::relocateToApplicationsIfNeeded() { return relocator_.relocateToApplicationsIfNeeded(); }
void AppDelegate::setupIMessageAgent(const std::string& pairingCode, const std::string& apiBase) {
    agentInstaller_.setupIMessageAgent(pairingCode, apiBase);
}
void AppDelegate::disconnectIMessageAgent() { agentInstaller_.disconnectIMessageAgent(); }
bool AppDelegate::runLaunchctl(const std::vector<std::string>& arguments) {
    return agentInstaller_.runLaunchctl(arguments);
}

}  // namespace pelko
