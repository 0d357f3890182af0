#include "gtk/system/UserDefaultsPort.h"

#include "platform/BoundedJson.h"

namespace pelko::gtk {

namespace {
constexpr const char* kGroup = "Defaults";
}

std::optional<nlohmann::json> UserDefaultsPort::objectForKey(const std::string& key) const {
    const auto text = file_.value(kGroup, key);
    if (!text) return std::nullopt;
    if (auto value = parseBoundedJson(*text)) return value;
    return nlohmann::json(*text);
}

void UserDefaultsPort::setBool(const std::string& key, bool value) {
    file_.setValue(kGroup, key, value ? "true" : "false");
}

}  // namespace pelko::gtk
