#pragma once

#include "platform/CoreGuard.h"

#include <optional>
#include <set>
#include <string>
#include <variant>

#include "platform/Url.h"
#include "web/DesktopInfo.h"
#include "web/NavigationPolicy.h"

namespace pelko {

inline constexpr const char* kUserAgent =
    "Mozilla/5.0 (Macintosh; Intel Mac OS X 10_15_7) AppleWebKit/605.1.15 (KHTML, like Gecko) "
    "Version/17.4 Safari/605.1.15";

// The system the application runs on, as far as what it offers differs.
enum class HostPlatform { mac, linux };

// The update manifest of the macOS application, on the service origin.
inline constexpr const char* kMacUpdateManifest = "/desktop-latest.json";

// Every value the application derives from the build's configuration, made
// once by the process entry and fixed for the life of the process.
struct AppConfig {
    std::string serviceOriginText;  // "scheme://host[:port]", as configured
    SecurityOrigin serviceOrigin;   // the only origin whose frames the bridge obeys
    Url homeURL;
    Url updateFeedURL;
    std::set<std::string> downloadExtensions;
    std::string apiBase;            // the default handed to the agent
    InAppHosts inAppHosts;          // the service's apex domain and the provider domains
    std::string userAgent;
    DesktopInfo desktopInfo;
    HostPlatform platform;          // whose conventions the application follows
};

// Why there is no configuration: the application does not start.
struct ConfigError {
    std::string message;
};

// The update manifest's address: `updateManifest` on the service origin when
// it is a path, or as it is when it is an http(s) URL; none otherwise.
std::optional<std::string> updateManifestAddress(const std::string& serviceOrigin, const std::string& updateManifest);

// Parses the service origin once and derives every value from it; an error
// when the origin is not "scheme://host[:port]", the update manifest is
// neither a path nor an http(s) URL, or either does not make a valid URL.
// `canDictate`: whether the platform has a speech recognizer to offer.
// `updateManifest`: where the manifest is (each platform's package reads its own).
std::variant<AppConfig, ConfigError> makeAppConfig(const Urls& urls, const std::string& serviceOrigin,
                                                   HostPlatform platform, bool canDictate,
                                                   const std::string& updateManifest = kMacUpdateManifest);

// The same, for the origin this build was made for.
std::variant<AppConfig, ConfigError> buildAppConfig(const Urls& urls, HostPlatform platform, bool canDictate);

}  // namespace pelko
