#pragma once

#include "gtk/system/SettingsFile.h"
#include "platform/UserDefaults.h"

namespace pelko::gtk {

// The user defaults in the settings file's [Defaults] group. Each value is
// stored as JSON text so that its type survives ("true" is a Boolean,
// "\"yes\"" a string); a hand-edited value that is not JSON reads back as
// a string.
class UserDefaultsPort : public UserDefaults {
public:
    explicit UserDefaultsPort(SettingsFile& file) : file_(file) {}
    std::optional<nlohmann::json> objectForKey(const std::string& key) const override;
    void setBool(const std::string& key, bool value) override;

private:
    SettingsFile& file_;
};

}  // namespace pelko::gtk
