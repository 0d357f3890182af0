#include "gtk/ExecutableBundle.h"

#include <glib.h>

#include "gtk/GObjectRef.h"

namespace pelko::gtk {

ExecutableBundle::ExecutableBundle(std::string shortVersion)
    : info_(nlohmann::json::object({{"CFBundleShortVersionString", std::move(shortVersion)}})) {}

std::string ExecutableBundle::bundlePath() const {
    OwnedGString executable(g_file_read_link("/proc/self/exe", nullptr));
    if (!executable) return {};
    OwnedGString folder(g_path_get_dirname(executable.get()));
    return folder.get();
}

std::optional<nlohmann::json> ExecutableBundle::objectForInfoDictionaryKey(const std::string& key) const {
    const auto it = info_.find(key);
    if (it == info_.end()) return std::nullopt;
    return *it;
}

}  // namespace pelko::gtk
