#pragma once

#include "platform/CoreGuard.h"

#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/Url.h"

namespace pelko {

// The desktop the application runs on: its conventions differ (see
// DesktopConventions.h), and the page is told its name.
enum class DesktopPlatform { mac, linuxDesktop };

// "mac" or "linux", as the page is told.
const char* platformName(DesktopPlatform platform);

// What the page is told about the shell it runs in. The backend supplies it.
struct DesktopInfo {
    DesktopPlatform platform = DesktopPlatform::mac;
    bool canSetupIMessage = false;
    bool canDictate = false;
};

inline const DesktopInfo kMacDesktopInfo{DesktopPlatform::mac, true, true};

// The update manifest of the macOS application, on the service origin.
inline constexpr const char* kMacUpdateManifest = "/desktop-latest.json";

// Fixed when the application is built.
struct AppConfig {
    std::string serviceOrigin;              // "scheme://host[:port]", no trailing slash
    std::vector<std::string> providerDomains;
    std::string userAgent;
    DesktopInfo desktopInfo;
    // Where the update manifest is: a path on the service origin, or an
    // http(s) URL of its own. Each platform's package reads its own.
    std::string updateManifest = kMacUpdateManifest;
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

// The update manifest's address: `updateManifest` on the service origin when
// it is a path, or as it is when it is an http(s) URL; none otherwise.
std::optional<std::string> updateManifestAddress(const std::string& serviceOrigin, const std::string& updateManifest);

// Builds the values in their fixed order; none when the configured origin is
// not "scheme://host[:port]", the update manifest is neither a path nor an
// http(s) URL, or either does not make a valid URL. The application does not
// start without them.
std::optional<ProcessValues> makeProcessValues(const Urls& urls, const std::string& serviceOrigin,
                                               const std::string& updateManifest);

}  // namespace pelko
