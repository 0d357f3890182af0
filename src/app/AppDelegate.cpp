#include "app/AppDelegate.h"

#include "platform/Alerts.h"
#include "platform/Bundle.h"
#include "platform/MainQueue.h"
#include "platform/Toolkit.h"
#include "web/DesktopInfoScript.h"
#include "web/Origin.h"

namespace pelko {

namespace {
constexpr Rect kWebViewFrame{0, 0, 1280, 860};
constexpr Size kWindowMinSize{720, 560};
constexpr const char* kWindowAutosaveName = "PelkoMainWindow";
}  // namespace

AppDelegate::AppDelegate(Ports ports, AppConfig config, ProcessValues values)
    : voiceStatusItem(std::make_shared<MenuItem>()),
      ports_(ports),
      config_(std::move(config)),
      values_(std::move(values)),
      serviceOrigin_(parseOrigin(config_.serviceOrigin).value_or(SecurityOrigin{})) {}

AppDelegate::~AppDelegate() = default;

void AppDelegate::applicationDidFinishLaunching() {
    // 1. A moved copy is being relaunched: this process creates nothing.
    if (relocateToApplicationsIfNeeded()) return;

    // 2-4. Configuration: persistent data, preferences, the bridge.
    configuration_ = ports_.toolkit->makeWebViewConfiguration();
    configuration_->setWebsiteDataStorePersistent();
    configuration_->setJavaScriptCanOpenWindowsAutomatically(true);
    configuration_->setMediaTypesRequiringUserActionForPlayback(kMediaTypeVideo);
    configuration_->addUserScript(UserScript{desktopInfoScript(appVersion(), config_.desktopInfo),
                                             UserScriptInjectionTime::atDocumentStart, false});
    configuration_->addScriptMessageHandler(this, kBridgeHandlerName);

    // 5. The web view.
    webView = ports_.toolkit->makeWebView(kWebViewFrame, *configuration_);
    webView->setNavigationDelegate(this);
    webView->setUIDelegate(this);
    webView->setAllowsBackForwardNavigationGestures(true);
    webView->setCustomUserAgent(config_.userAgent);

    // 6-7. The main window.
    window = ports_.toolkit->makeWindow(
        kWebViewFrame, kWindowStyleTitled | kWindowStyleClosable | kWindowStyleMiniaturizable | kWindowStyleResizable);
    window->setTitle("Pelko");
    window->setFrameAutosaveName(kWindowAutosaveName);
    window->setContentView(*webView);
    window->setMinSize(kWindowMinSize);
    window->setDelegate(this);
    window->center();
    window->makeKeyAndOrderFront();

    // 8. The voice controller, reporting through the status line.
    createVoiceController();

    // 9-10. Menu bar and the second push-to-talk shortcut.
    ports_.application->setMainMenu(buildMainMenu());
    installCtrlShiftSpaceAlias();

    // 11-12. Home page, then to the front.
    webView->loadRequest(UrlRequest{values_.homeURL});
    ports_.application->activateIgnoringOtherApps();

    // 13. The silent update check; launch does not wait for it.
    checkForUpdate();
}

bool AppDelegate::applicationShouldTerminateAfterLastWindowClosed() { return false; }

bool AppDelegate::windowShouldClose() {
    // Only hide: the web view and its page stay alive for the next reopen.
    if (window) window->orderOut();
    return false;
}

bool AppDelegate::applicationShouldHandleReopen(bool hasVisibleWindows) {
    if (hasVisibleWindows) return true;
    if (window) window->makeKeyAndOrderFront();
    ports_.application->activateIgnoringOtherApps();
    return true;
}

std::string AppDelegate::appVersion() const {
    const auto value = ports_.bundle->objectForInfoDictionaryKey("CFBundleShortVersionString");
    if (value && value->is_string()) return value->get<std::string>();
    return "0";
}

void AppDelegate::showAlert(const std::string& title, const std::string& message) {
    Alerts* alerts = ports_.alerts;
    ports_.mainQueue->async([alerts, title, message] { alerts->runModal(AlertSpec{title, message, {}}); });
}

}  // namespace pelko
