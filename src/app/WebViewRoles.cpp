#include "app/AppDelegate.h"
#include "platform/OpenPanel.h"
#include "platform/Workspace.h"
#include "voice/VoiceController.h"
#include "web/BridgeMessage.h"
#include "web/PageTitle.h"
#include "web/UnreachablePage.h"

// What the web view asks of the application: where navigations go, new
// windows, file inputs, the title after a load, downloads and the bridge.
namespace pelko {

void AppDelegate::decidePolicyForNavigationAction(const NavigationAction& action,
                                                  NavigationActionDecision decisionHandler) {
    switch (navigationActionVerdict(action, config_.downloadExtensions, config_.inAppHosts)) {
    case NavigationVerdict::allow: decisionHandler(NavigationActionPolicy::allow); return;
    case NavigationVerdict::download: decisionHandler(NavigationActionPolicy::download); return;
    case NavigationVerdict::openInBrowser:
        ports_.workspace->openURL(*action.requestURL);
        decisionHandler(NavigationActionPolicy::cancel);
        return;
    case NavigationVerdict::cancel: decisionHandler(NavigationActionPolicy::cancel); return;
    }
}

void AppDelegate::decidePolicyForNavigationResponse(const NavigationResponse& response,
                                                    NavigationResponseDecision decisionHandler) {
    decisionHandler(navigationResponsePolicy(response));
}

void AppDelegate::createWebViewForNavigationAction(const NavigationAction& action) {
    switch (newWindowVerdict(action, config_.inAppHosts)) {
    case NewWindowVerdict::openInBrowser: ports_.workspace->openURL(*action.requestURL); return;
    case NewWindowVerdict::loadInWebView:
        if (webView_ && action.requestURL) webView_->loadRequest(UrlRequest{*action.requestURL});
        return;
    case NewWindowVerdict::ignore:
    case NewWindowVerdict::cancel: return;
    }
}

void AppDelegate::runOpenPanel(const OpenPanelParameters& parameters, OpenPanelCompletion completionHandler) {
    // Without the window there is nothing to attach the sheet to: the
    // handler, dropped, gives the input no files.
    if (!window_) return;
    OpenPanelOptions options;
    options.allowsMultipleSelection = parameters.allowsMultipleSelection;
    ports_.openPanels->beginSheetModalForWindow(*window_, options, std::move(completionHandler));
}

void AppDelegate::didFinishNavigation() {
    if (unreachablePage_) unreachablePage_->didFinishNavigation();
    if (window_ && webView_) window_->setTitle(windowTitleForPage(webView_->url(), config_.inAppHosts.apexDomain));
}

bool AppDelegate::didFailNavigation(const NavigationError& error) {
    return unreachablePage_ && unreachablePage_->didFailNavigation(error);
}

// The download is the controller's from here on: the backend has made it
// the download's delegate.
void AppDelegate::navigationDidBecomeDownload(const DownloadRef& /*download*/) {}

void AppDelegate::decideDestination(const DownloadRef& download, const std::string& suggestedFilename,
                                    DownloadDestinationCompletion completionHandler) {
    completionHandler(downloads_.decideDestination(download, suggestedFilename));
}

void AppDelegate::downloadDidFinish(const DownloadRef& download) { downloads_.didFinish(download); }

void AppDelegate::downloadDidFail(const DownloadRef& download, const DownloadFailure& failure) {
    downloads_.didFail(download, failure);
}

void AppDelegate::didReceiveScriptMessage(const ScriptMessage& message) {
    const BridgeCommand command =
        readBridgeMessage(message, config_.serviceOrigin, config_.apiBase);
    if (const auto* setup = std::get_if<SetupIMessageRequest>(&command)) {
        setupIMessageAgent(setup->pairingCode, setup->apiBase);
    } else if (std::holds_alternative<DisconnectIMessageRequest>(command)) {
        disconnectIMessageAgent();
    } else if (const auto* event = std::get_if<VoiceBridgeEvent>(&command)) {
        if (voice_) voice_->handleBridgeEvent(event->message);
    }
}

}  // namespace pelko
