#include "web/UnreachablePage.h"

#include "platform/NetworkMonitor.h"
#include "platform/WebView.h"
#include "platform/Window.h"
#include "web/PageTitle.h"

namespace pelko {

UnreachablePage::UnreachablePage(UsedPorts ports, InAppHosts hosts, WebView& webView, Window& window)
    : mainQueue_(ports.mainQueue), hosts_(std::move(hosts)), webView_(webView), window_(window) {
    // The token goes with this object, and the handler with it.
    networkToken_ = ports.networkMonitor.start([this](bool available) { networkChanged(available); });
}

UnreachablePage::~UnreachablePage() {
    if (retryTimer_) retryTimer_->invalidate();
}

bool UnreachablePage::didFailNavigation(const NavigationError& error) {
    const auto reason = unreachableReason(error, hosts_, networkAvailable_);
    if (!reason) {
        // A load that was stopped while ours shows (a retry that timed out
        // meanwhile) must not leave it waiting forever.
        if (isShowing() && !retryTimer_) schedule(retryDelay(failures_));
        return false;
    }
    const Url& url = *error.failingURL;
    const bool sameFailure = failed_ == url && shownReason_ == reason;
    failures_ = failed_ == url ? failures_ + 1 : 0;
    failed_ = url;
    shownReason_ = reason;
    // A retry that failed the same way leaves the page as it is.
    if (!sameFailure) webView_.loadAlternateHTML(unreachablePageHTML(*reason, url, hosts_.apexDomain), url);
    window_.setTitle(windowTitleForPage(url, hosts_.apexDomain));
    schedule(retryDelay(failures_));
    return true;
}

void UnreachablePage::didFinishNavigation() {
    failed_.reset();
    shownReason_.reset();
    failures_ = 0;
    if (retryTimer_) retryTimer_->invalidate();
    retryTimer_.reset();
}

bool UnreachablePage::tryAgain() {
    if (!failed_) return false;
    if (retryTimer_) retryTimer_->invalidate();
    retryTimer_.reset();
    webView_.evaluateJavaScript(retryScript(*failed_));
    return true;
}

void UnreachablePage::windowDidShow() {
    if (isShowing() && networkAvailable_) tryAgain();
}

void UnreachablePage::networkChanged(bool available) {
    const bool cameBack = available && !networkAvailable_;
    networkAvailable_ = available;
    if (!cameBack || !isShowing()) return;
    // A fresh start: the pauses grow again from the shortest.
    failures_ = -1;
    tryAgain();
}

void UnreachablePage::schedule(Duration delay) {
    if (retryTimer_) retryTimer_->invalidate();
    retryTimer_ = mainQueue_.scheduledTimer(delay, [this] { retryWhenDue(); });
}

void UnreachablePage::retryWhenDue() {
    retryTimer_.reset();
    if (!isShowing()) return;
    // Offline or out of sight, it waits for the network or the window to come back.
    if (!networkAvailable_ || !window_.isVisible()) return;
    // Someone else's load is under way: its outcome decides.
    if (webView_.isLoading()) {
        schedule(retryDelay(failures_));
        return;
    }
    tryAgain();
}

}  // namespace pelko
