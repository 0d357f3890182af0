#pragma once

#include "platform/UserDefaults.h"

namespace pelko::mac {

// NSUserDefaults' standard defaults.
class UserDefaultsPort : public UserDefaults {
public:
    std::optional<nlohmann::json> objectForKey(const std::string& key) const override;
    void setBool(const std::string& key, bool value) override;
};

}  // namespace pelko::mac
