#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

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
enum class NavigationResponsePolicy { allow = 1, download = 2 };

struct NavigationAction {
    std::optional<Url> requestURL;
    NavigationType navigationType = NavigationType::other;
    bool shouldPerformDownload = false;
    bool hasTargetFrame = true;
};

struct NavigationResponse {
    bool canShowMIMEType = true;
};

// One download in progress. The backend keeps its identity stable for the
// life of the download so that callbacks can be matched to decisions.
struct DownloadRef {
    unsigned long long id = 0;
    std::optional<Url> originalRequestURL;
    bool operator==(const DownloadRef& other) const { return id == other.id; }
};

struct OpenPanelParameters {
    bool allowsMultipleSelection = false;
};

using NavigationActionDecision = std::function<void(NavigationActionPolicy)>;
using NavigationResponseDecision = std::function<void(NavigationResponsePolicy)>;
// The chosen files as absolute paths, or none when the panel was cancelled.
using OpenPanelCompletion = std::function<void(std::optional<std::vector<std::string>>)>;
// The destination as an absolute path; none cancels the download.
using DownloadDestinationCompletion = std::function<void(std::optional<std::string>)>;

// Every decision handler handed to a delegate must be called exactly once.
class NavigationDelegate {
public:
    virtual ~NavigationDelegate() = default;
    virtual void decidePolicyForNavigationAction(const NavigationAction& action, NavigationActionDecision decisionHandler) = 0;
    virtual void decidePolicyForNavigationResponse(const NavigationResponse& response,
                                                   NavigationResponseDecision decisionHandler) = 0;
    virtual void didFinishNavigation() = 0;
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

class DownloadDelegate {
public:
    virtual ~DownloadDelegate() = default;
    virtual void decideDestination(const DownloadRef& download, const std::string& suggestedFilename,
                                   DownloadDestinationCompletion completionHandler) = 0;
    virtual void downloadDidFinish(const DownloadRef& download) = 0;
    // `localizedDescription` is the platform's text for the error.
    virtual void downloadDidFail(const DownloadRef& download, const std::string& localizedDescription) = 0;
};

}  // namespace pelko
