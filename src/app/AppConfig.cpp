#include "app/AppConfig.h"

#include "app/BuildConfig.h"
#include "web/Origin.h"

namespace pelko {

std::variant<AppConfig, ConfigError> makeAppConfig(const Urls& urls, const std::string& serviceOrigin,
                                                   HostPlatform platform, bool canDictate) {
    // Never run with an origin the bridge's rule could not hold to.
    const ConfigError error{"the configured service origin \"" + serviceOrigin + "\" is not scheme://host[:port]"};
    const auto origin = parseOrigin(serviceOrigin);
    if (!origin) return error;
    // In order: the home page, the update feed, the download extensions.
    const auto home = urls.urlFromString(serviceOrigin + "/");
    const auto feed = urls.urlFromString(serviceOrigin + "/desktop-latest.json");
    if (!home || !feed) return error;
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
    };
}

std::variant<AppConfig, ConfigError> buildAppConfig(const Urls& urls, HostPlatform platform, bool canDictate) {
    return makeAppConfig(urls, build::kServiceOrigin, platform, canDictate);
}

}  // namespace pelko
