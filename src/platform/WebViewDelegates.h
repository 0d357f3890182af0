#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/OnceHandler.h"
#include "platform/Url.h"

namespace pelko {

// Platform values of the navigation type.
enum class NavigationType {
    linkActivated = 0,
    formSubmitted = 1,
    backForward = 2,
    reload = 3,
    formResubmitted = 4,
    other = -1,
};

enum class NavigationActionPolicy { cancel = 0, allow = 1, download = 2 };
enum class NavigationResponsePolicy { cancel = 0, allow = 1, download = 2 };

struct NavigationAction {
    std::optional<Url> requestURL;
    NavigationType navigationType = NavigationType::other;
    bool shouldPerformDownload = false;
    bool hasTargetFrame = true;
};

// Why a load of the main frame failed: the platform's error domain and
// code, as the platform names them, and the URL that failed.
struct NavigationError {
    std::string domain;
    long code = 0;
    std::optional<Url> failingURL;
};

struct NavigationResponse {
    bool canShowMIMEType = true;
};

// One download in progress. The backend keeps its identity stable for the
// life of the download so that callbacks can be matched to decisions.
struct DownloadRef {
    unsigned long long id = 0;
    std::optional<Url> originalRequestURL;
    // The page the download was started from, where the engine tells (the request's Referer).
    std::optional<Url> referrerURL;
    bool operator==(const DownloadRef& other) const { return id == other.id; }
};

struct OpenPanelParameters {
    bool allowsMultipleSelection = false;
};

// The handlers a delegate answers, each exactly once (see OnceHandler); one
// dropped unanswered gives the answer that lets nothing happen.
struct NavigationActionDecision : OnceHandler<NavigationActionPolicy> {
    NavigationActionDecision() = default;
    template <OnceAnswer<NavigationActionPolicy> F>
    explicit NavigationActionDecision(F answer) : OnceHandler(std::move(answer), NavigationActionPolicy::cancel) {}
};
struct NavigationResponseDecision : OnceHandler<NavigationResponsePolicy> {
    NavigationResponseDecision() = default;
    template <OnceAnswer<NavigationResponsePolicy> F>
    explicit NavigationResponseDecision(F answer) : OnceHandler(std::move(answer), NavigationResponsePolicy::cancel) {}
};
// The chosen files as absolute paths; none when the panel was cancelled.
struct OpenPanelCompletion : OnceHandler<std::optional<std::vector<std::string>>> {
    OpenPanelCompletion() = default;
    template <OnceAnswer<std::optional<std::vector<std::string>>> F>
    explicit OpenPanelCompletion(F answer) : OnceHandler(std::move(answer), std::nullopt) {}
};
// The destination as an absolute path; none cancels the download.
struct DownloadDestinationCompletion : OnceHandler<std::optional<std::string>> {
    DownloadDestinationCompletion() = default;
    template <OnceAnswer<std::optional<std::string>> F>
    explicit DownloadDestinationCompletion(F answer) : OnceHandler(std::move(answer), std::nullopt) {}
};

class NavigationDelegate {
public:
    virtual ~NavigationDelegate() = default;
    virtual void decidePolicyForNavigationAction(const NavigationAction& action, NavigationActionDecision decisionHandler) = 0;
    virtual void decidePolicyForNavigationResponse(const NavigationResponse& response,
                                                   NavigationResponseDecision decisionHandler) = 0;
    // A page finished loading. Not called for alternate content.
    virtual void didFinishNavigation() = 0;
    // A load of the main frame failed, before or after its page began to
    // show. True when the delegate shows content of its own in its place
    // (WebView::loadAlternateHTML), so that the web view shows none of its
    // own. Not called for alternate content.
    virtual bool didFailNavigation(const NavigationError& error) = 0;
    virtual void navigationDidBecomeDownload(const DownloadRef& download) = 0;
};

class UIDelegate {
public:
    virtual ~UIDelegate() = default;
    // A page asks for a new window. No second web view is ever created.
    virtual void createWebViewForNavigationAction(const NavigationAction& action) = 0;
    // A file input asks for files; the completion is called once, later.
    virtual void runOpenPanel(const OpenPanelParameters& parameters, OpenPanelCompletion completionHandler) = 0;
};

// How a download ended without its file.
struct DownloadFailure {
    bool cancelled = false;            // stopped on purpose (declined, or cancelled), not failed
    std::string localizedDescription;  // the platform's text for the error
};

class DownloadDelegate {
public:
    virtual ~DownloadDelegate() = default;
    virtual void decideDestination(const DownloadRef& download, const std::string& suggestedFilename,
                                   DownloadDestinationCompletion completionHandler) = 0;
    virtual void downloadDidFinish(const DownloadRef& download) = 0;
    virtual void downloadDidFail(const DownloadRef& download, const DownloadFailure& failure) = 0;
};

}  // namespace pelko
