#pragma once

#include "platform/CoreGuard.h"

#include <memory>
#include <optional>

#include "platform/Application.h"
#include "platform/MainQueue.h"
#include "platform/Url.h"
#include "platform/WebViewDelegates.h"
#include "web/LoadFailure.h"
#include "web/NavigationPolicy.h"

namespace pelko {

class NetworkMonitor;
class WebView;
class Window;

// The app's own page in place of an in-app page that could not be loaded
// (see unreachableReason), and getting back to the page once it can be: at
// once when the network comes back, when the window shows again, or when
// the user asks (Try Again, Reload); and meanwhile, while the window is
// visible and the network up, now and then with growing pauses (retryDelay).
// Main thread only.
class UnreachablePage {
public:
    // The ports it uses.
    struct UsedPorts {
        MainQueue& mainQueue;
        NetworkMonitor& networkMonitor;
    };
    UnreachablePage(UsedPorts ports, InAppHosts hosts, WebView& webView, Window& window);
    ~UnreachablePage();
    UnreachablePage(const UnreachablePage&) = delete;
    UnreachablePage& operator=(const UnreachablePage&) = delete;

    // True when the page now shows in place of the failed one.
    bool didFailNavigation(const NavigationError& error);
    // A page loaded: there is nothing to get back to.
    void didFinishNavigation();
    // Loads the failed page again now when the page shows; false when it does not.
    bool tryAgain();
    // The window has been shown again.
    void windowDidShow();

    bool isShowing() const { return failed_.has_value(); }

private:
    void networkChanged(bool available);
    void schedule(Duration delay);
    void retryWhenDue();

    MainQueue& mainQueue_;
    const InAppHosts hosts_;
    WebView& webView_;
    Window& window_;
    std::unique_ptr<MonitorToken> networkToken_;
    bool networkAvailable_ = true;  // until the platform says otherwise
    std::optional<Url> failed_;     // the page that could not be loaded, while ours shows
    std::optional<UnreachableReason> shownReason_;
    int failures_ = 0;  // in a row, for the page that failed
    std::unique_ptr<Timer> retryTimer_;
};

}  // namespace pelko
