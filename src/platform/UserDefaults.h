#pragma once

#include <nlohmann/json.hpp>
#include <optional>
#include <string>

namespace pelko {

// The standard user defaults: small values that persist between launches.
class UserDefaults {
public:
    virtual ~UserDefaults() = default;
    // The stored value of whatever type it has, or none when the key is absent.
    virtual std::optional<nlohmann::json> objectForKey(const std::string& key) const = 0;
    virtual void setBool(const std::string& key, bool value) = 0;
};

}  // namespace pelko
