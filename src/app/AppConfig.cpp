#include "app/AppConfig.h"

#include "app/BuildConfig.h"
#include "web/Origin.h"

namespace pelko {

std::optional<std::string> updateManifestAddress(const std::string& serviceOrigin, const std::string& updateManifest) {
    if (updateManifest.starts_with("/")) return serviceOrigin + updateManifest;
    if (updateManifest.starts_with("https://") || updateManifest.starts_with("http://")) return updateManifest;
    return std::nullopt;
}

std::variant<AppConfig, ConfigError> makeAppConfig(const Urls& urls, const std::string& serviceOrigin,
                                                   HostPlatform platform, bool canDictate,
                                                   const std::string& updateManifest) {
    // Never run with an origin the bridge's rule could not hold to.
    const ConfigError error{"the configured service origin \"" + serviceOrigin + "\" is not scheme://host[:port]"};
    const auto origin = parseOrigin(serviceOrigin);
    if (!origin) return error;
    // In order: the home page, the update feed, the download extensions.
    const auto home = urls.urlFromString(serviceOrigin + "/");
    if (!home) return error;
    // Nor without a manifest to learn of updates from.
    const auto feedAddress = updateManifestAddress(serviceOrigin, updateManifest);
    const auto feed = feedAddress ? urls.urlFromString(*feedAddress) : std::nullopt;
    if (!feed) {
        return ConfigError{"the configured update manifest \"" + updateManifest +
                           "\" is neither a path on the service origin nor an http(s) URL"};
    }
    const bool mac = platform == HostPlatform::mac;
    return AppConfig{
        serviceOrigin,
        *origin,
        *home,
        *feed,
        {"pkg", "dmg", "zip", "exe", "msi"},
        serviceOrigin + "/api",
        InAppHosts{origin->host, {"google.com", "github.com", "githubusercontent.com", "apple.com"}},
        kUserAgent,
        // There is no iMessage off the Mac.
        DesktopInfo{mac ? "mac" : "linux", mac, canDictate},
        platform,
    };
}

std::variant<AppConfig, ConfigError> buildAppConfig(const Urls& urls, HostPlatform platform, bool canDictate) {
    return makeAppConfig(urls, build::kServiceOrigin, platform, canDictate, build::kUpdateManifest);
}

}  // namespace pelko
