#pragma once

#include "platform/CoreGuard.h"

#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/Url.h"
#include "platform/WebViewDelegates.h"

namespace pelko {

// The hosts whose pages stay in the window: the service's apex domain with
// its subdomains, and the provider domains with theirs.
struct InAppHosts {
    std::string apexDomain;
    std::vector<std::string> providerDomains;
};

// Case-sensitive, on the host as the URL reports it. A provider domain
// matches itself or a subdomain, never a longer name that merely contains
// it (github.com.evil.example, notgithub.com).
bool keepInApp(const std::string& host, const InAppHosts& hosts);

// The apex domain or a subdomain of it.
bool isServiceHost(const std::string& host, const std::string& apexDomain);

// Schemes whose URLs the system would mount or open locally (remote file
// shares, local files): a page's link to one is never handed on.
bool isUnsafeToHandOn(const Url& url);

enum class NavigationVerdict {
    allow,
    download,
    openInBrowser,  // hand the URL to the system (the default browser, the mail app...), then cancel
    cancel,
};

// A clicked link to a host outside the in-app hosts, or without a host to a
// scheme the web view cannot show (mailto:, tel:, another app's), goes to
// the system; data:, blob: and about: stay; links to file shares and local
// files are refused.
NavigationVerdict navigationActionVerdict(const NavigationAction& action,
                                          const std::set<std::string>& downloadExtensions, const InAppHosts& hosts);

NavigationResponsePolicy navigationResponsePolicy(const NavigationResponse& response);

enum class NewWindowVerdict {
    ignore,          // a target frame takes it
    openInBrowser,
    loadInWebView,   // the page that asked shows it instead
    cancel,          // a link that is not handed on
};

NewWindowVerdict newWindowVerdict(const NavigationAction& action, const InAppHosts& hosts);

}  // namespace pelko
