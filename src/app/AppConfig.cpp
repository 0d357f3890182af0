#include "app/AppConfig.h"

#include "app/BuildConfig.h"
#include "web/Origin.h"

namespace pelko {

AppConfig buildAppConfig(const DesktopInfo& desktopInfo) {
    return AppConfig{
        build::kServiceOrigin,
        {"google.com", "github.com", "githubusercontent.com", "apple.com"},
        kUserAgent,
        desktopInfo,
    };
}

std::optional<ProcessValues> makeProcessValues(const Urls& urls, const std::string& serviceOrigin) {
    auto origin = parseOrigin(serviceOrigin);
    if (!origin) return std::nullopt;
    auto home = urls.urlFromString(serviceOrigin + "/");
    if (!home) return std::nullopt;
    auto feed = urls.urlFromString(serviceOrigin + "/desktop-latest.json");
    if (!feed) return std::nullopt;
    return ProcessValues{*home, *feed, {"pkg", "dmg", "zip", "exe", "msi"}, *origin};
}

}  // namespace pelko
