#include "app/AppDelegate.h"
#include "voice/VoiceController.h"
#include "web/BridgeMessage.h"

// What the web view asks of the application. Until the navigation policy
// and downloads are built, the web view's own defaults hold: navigations and
// responses proceed in place, popups are dropped, file inputs get no files
// and downloads are declined.
namespace pelko {

void AppDelegate::decidePolicyForNavigationAction(const NavigationAction& /*action*/,
                                                  NavigationActionDecision decisionHandler) {
    decisionHandler(NavigationActionPolicy::allow);
}

void AppDelegate::decidePolicyForNavigationResponse(const NavigationResponse& /*response*/,
                                                    NavigationResponseDecision decisionHandler) {
    decisionHandler(NavigationResponsePolicy::allow);
}

void AppDelegate::createWebViewForNavigationAction(const NavigationAction& /*action*/) {}

void AppDelegate::runOpenPanel(const OpenPanelParameters& /*parameters*/, OpenPanelCompletion completionHandler) {
    completionHandler(std::nullopt);
}

void AppDelegate::didFinishNavigation() {}

void AppDelegate::navigationDidBecomeDownload(const DownloadRef& /*download*/) {}

void AppDelegate::decideDestination(const DownloadRef& /*download*/, const std::string& /*suggestedFilename*/,
                                    DownloadDestinationCompletion completionHandler) {
    completionHandler(std::nullopt);
}

void AppDelegate::downloadDidFinish(const DownloadRef& /*download*/) {}

void AppDelegate::downloadDidFail(const DownloadRef& /*download*/, const std::string& /*localizedDescription*/) {}

void AppDelegate::didReceiveScriptMessage(const ScriptMessage& message) {
    const BridgeCommand command =
        readBridgeMessage(message, values_.serviceOrigin, config_.serviceOrigin + "/api");
    if (const auto* setup = std::get_if<SetupIMessageRequest>(&command)) {
        setupIMessageAgent(setup->pairingCode, setup->apiBase);
    } else if (std::holds_alternative<DisconnectIMessageRequest>(command)) {
        disconnectIMessageAgent();
    } else if (const auto* event = std::get_if<VoiceBridgeEvent>(&command)) {
        if (voice_) voice_->handleBridgeEvent(event->message);
    }
}

}  // namespace pelko
