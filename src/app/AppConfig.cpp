#include "app/AppConfig.h"

#include "app/BuildConfig.h"
#include "web/Origin.h"

namespace pelko {

const char* platformName(DesktopPlatform platform) {
    switch (platform) {
    case DesktopPlatform::mac: return "mac";
    case DesktopPlatform::linuxDesktop: return "linux";
    }
    return "mac";
}

AppConfig buildAppConfig(const DesktopInfo& desktopInfo) {
    return AppConfig{
        build::kServiceOrigin,
        {"google.com", "github.com", "githubusercontent.com", "apple.com"},
        kUserAgent,
        desktopInfo,
        build::kUpdateManifest,
    };
}

std::optional<std::string> updateManifestAddress(const std::string& serviceOrigin, const std::string& updateManifest) {
    if (updateManifest.starts_with("/")) return serviceOrigin + updateManifest;
    if (updateManifest.starts_with("https://") || updateManifest.starts_with("http://")) return updateManifest;
    return std::nullopt;
}

std::optional<ProcessValues> makeProcessValues(const Urls& urls, const std::string& serviceOrigin,
                                               const std::string& updateManifest) {
    auto origin = parseOrigin(serviceOrigin);
    if (!origin) return std::nullopt;
    auto home = urls.urlFromString(serviceOrigin + "/");
    if (!home) return std::nullopt;
    const auto feedAddress = updateManifestAddress(serviceOrigin, updateManifest);
    auto feed = feedAddress ? urls.urlFromString(*feedAddress) : std::nullopt;
    if (!feed) return std::nullopt;
    return ProcessValues{*home, *feed, {"pkg", "dmg", "zip", "exe", "msi"}, *origin};
}

}  // namespace pelko
