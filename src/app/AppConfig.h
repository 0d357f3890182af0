#pragma once

#include "platform/CoreGuard.h"

#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/Url.h"

namespace pelko {

// What the page is told about the shell it runs in. The backend supplies it.
struct DesktopInfo {
    std::string platform;
    bool canSetupIMessage = false;
    bool canDictate = false;
};

inline const DesktopInfo kMacDesktopInfo{"mac", true, true};

// Fixed when the application is built.
struct AppConfig {
    std::string serviceOrigin;              // "scheme://host[:port]", no trailing slash
    std::vector<std::string> providerDomains;
    std::string userAgent;
    DesktopInfo desktopInfo;
};

inline constexpr const char* kUserAgent =
    "Mozilla/5.0 (Macintosh; Intel Mac OS X 10_15_7) AppleWebKit/605.1.15 (KHTML, like Gecko) "
    "Version/17.4 Safari/605.1.15";

// The configuration this build was made with, for the given platform.
AppConfig buildAppConfig(const DesktopInfo& desktopInfo);

// Process-wide values, created once by the process entry.
struct ProcessValues {
    Url homeURL;
    Url updateFeedURL;
    std::set<std::string> downloadExtensions;
    SecurityOrigin serviceOrigin;  // the only origin whose frames the bridge obeys
};

// Builds the values in their fixed order; none when the configured origin is
// not "scheme://host[:port]" or does not make valid URLs. The application
// does not start without them.
std::optional<ProcessValues> makeProcessValues(const Urls& urls, const std::string& serviceOrigin);

}  // namespace pelko
