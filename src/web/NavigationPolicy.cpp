#include "app/AppDelegate.h"

// The web view's own defaults until the navigation policy is built: every
// navigation and response proceeds in the web view, popups are dropped and
// file inputs get no files. Each handler is still called exactly once.
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

}  // namespace pelko
