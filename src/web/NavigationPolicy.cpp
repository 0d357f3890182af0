#include "web/NavigationPolicy.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace pelko {

namespace {

bool isDomainOrSubdomain(const std::string& host, const std::string& domain) {
    if (domain.empty()) return false;
    return host == domain || host.ends_with("." + domain);
}

std::string lowered(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// The text after the last full stop of the path's last component.
std::string pathExtension(const std::string& path) {
    const auto slash = path.find_last_of('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const auto dot = name.find_last_of('.');
    if (dot == std::string::npos || dot == 0) return {};
    return name.substr(dot + 1);
}

bool hasHost(const NavigationAction& action) { return action.requestURL && !action.requestURL->host.empty(); }

// The schemes without a host that the web view shows itself; a link with
// any other (mailto:, tel:, sms:, another app's) is for the system.
bool webViewShows(const Url& url) {
    static constexpr std::array<const char*, 4> kShownInPlace{"data", "blob", "about", "javascript"};
    const std::string scheme = lowered(url.scheme);
    return std::any_of(kShownInPlace.begin(), kShownInPlace.end(), [&](const char* shown) { return scheme == shown; });
}

// What a page's own link (a click, a new window) to a URL without a host
// becomes: shown in place, handed to the system, or neither.
enum class HostlessLink { inPlace, toTheSystem, refused };

HostlessLink hostlessLink(const Url& url) {
    if (isUnsafeToHandOn(url)) return HostlessLink::refused;
    return webViewShows(url) ? HostlessLink::inPlace : HostlessLink::toTheSystem;
}

}  // namespace

bool keepInApp(const std::string& host, const InAppHosts& hosts) {
    if (isServiceHost(host, hosts.apexDomain)) return true;
    return std::any_of(hosts.providerDomains.begin(), hosts.providerDomains.end(),
                       [&](const std::string& domain) { return isDomainOrSubdomain(host, domain); });
}

bool isServiceHost(const std::string& host, const std::string& apexDomain) {
    return isDomainOrSubdomain(host, apexDomain);
}

bool isUnsafeToHandOn(const Url& url) {
    static constexpr std::array<const char*, 6> kUnsafeSchemes{"smb", "afp", "nfs", "cifs", "ftp", "file"};
    const std::string scheme = lowered(url.scheme);
    return std::any_of(kUnsafeSchemes.begin(), kUnsafeSchemes.end(),
                       [&](const char* unsafe) { return scheme == unsafe; });
}

NavigationVerdict navigationActionVerdict(const NavigationAction& action,
                                          const std::set<std::string>& downloadExtensions, const InAppHosts& hosts) {
    if (action.shouldPerformDownload) return NavigationVerdict::download;
    if (action.requestURL && downloadExtensions.contains(lowered(pathExtension(action.requestURL->path))))
        return NavigationVerdict::download;
    // Forms, scripts, reloads and history stay: only a click leaves.
    if (!action.requestURL || action.navigationType != NavigationType::linkActivated) return NavigationVerdict::allow;
    if (!hasHost(action)) {
        switch (hostlessLink(*action.requestURL)) {
        case HostlessLink::inPlace: return NavigationVerdict::allow;
        case HostlessLink::toTheSystem: return NavigationVerdict::openInBrowser;
        case HostlessLink::refused: return NavigationVerdict::cancel;
        }
    }
    if (keepInApp(action.requestURL->host, hosts)) return NavigationVerdict::allow;
    return isUnsafeToHandOn(*action.requestURL) ? NavigationVerdict::cancel : NavigationVerdict::openInBrowser;
}

NavigationResponsePolicy navigationResponsePolicy(const NavigationResponse& response) {
    return response.canShowMIMEType ? NavigationResponsePolicy::allow : NavigationResponsePolicy::download;
}

NewWindowVerdict newWindowVerdict(const NavigationAction& action, const InAppHosts& hosts) {
    if (action.hasTargetFrame) return NewWindowVerdict::ignore;
    if (action.requestURL && !hasHost(action)) {
        switch (hostlessLink(*action.requestURL)) {
        case HostlessLink::inPlace: return NewWindowVerdict::loadInWebView;
        case HostlessLink::toTheSystem: return NewWindowVerdict::openInBrowser;
        case HostlessLink::refused: return NewWindowVerdict::cancel;
        }
    }
    if (hasHost(action) && !keepInApp(action.requestURL->host, hosts)) {
        return isUnsafeToHandOn(*action.requestURL) ? NewWindowVerdict::cancel : NewWindowVerdict::openInBrowser;
    }
    return NewWindowVerdict::loadInWebView;
}

}  // namespace pelko
