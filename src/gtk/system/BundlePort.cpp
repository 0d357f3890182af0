#include "gtk/system/BundlePort.h"

#include <glib.h>

#include "gtk/system/GObjectRef.h"

namespace pelko::gtk {

BundlePort::BundlePort(std::string shortVersion)
    : info_(nlohmann::json::object({{"CFBundleShortVersionString", std::move(shortVersion)}})) {}

std::string BundlePort::bundlePath() const {
    OwnedGString executable(g_file_read_link("/proc/self/exe", nullptr));
    if (!executable) return {};
    OwnedGString folder(g_path_get_dirname(executable.get()));
    return folder.get();
}

std::optional<nlohmann::json> BundlePort::objectForInfoDictionaryKey(const std::string& key) const {
    const auto it = info_.find(key);
    if (it == info_.end()) return std::nullopt;
    return *it;
}

}  // namespace pelko::gtk
