#pragma once

#include "platform/CoreGuard.h"

#include <optional>
#include <string>

#include "platform/MainQueue.h"
#include "platform/Url.h"
#include "platform/WebViewDelegates.h"
#include "web/NavigationPolicy.h"

namespace pelko {

// Why an in-app page could not be shown, in the words the user reads.
enum class UnreachableReason {
    noConnection,        // the computer is offline
    noAnswer,            // the host did not answer (refused, timed out, not found)
    noSecureConnection,  // the connection could not be made secure
};

// What a failed load of the main frame shows: a reason for the app's own
// page, or none. None for loads that were stopped or replaced (a new
// navigation, a download, a policy that ignored the load), for failures
// that are no fault of the connection, and for pages outside the in-app
// hosts. A host that did not answer while the network is down is offline.
std::optional<UnreachableReason> unreachableReason(const NavigationError& error, const InAppHosts& hosts,
                                                   bool networkAvailable);

// How long after the `attempt`-th failure in a row (0 for the first) the
// page is tried again: soon at first, then never more than once a minute.
Duration retryDelay(int attempt);

// The app's own page for `url`, which could not be loaded. It names the
// service as "Pelko" and any other host by its name, and its "Try Again"
// button loads `url` again in place of the page.
std::string unreachablePageHTML(UnreachableReason reason, const Url& url, const std::string& apexDomain);

// Run in that page: loads `url` in its place, so the history keeps no entry
// for the page itself.
std::string retryScript(const Url& url);

}  // namespace pelko
