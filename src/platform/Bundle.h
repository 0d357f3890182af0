#pragma once

#include <nlohmann/json.hpp>
#include <optional>
#include <string>

namespace pelko {

// The running application's bundle.
class Bundle {
public:
    virtual ~Bundle() = default;
    virtual std::string bundlePath() const = 0;
    // The information-dictionary value under `key`, of whatever type it has,
    // or none when the key is absent.
    virtual std::optional<nlohmann::json> objectForInfoDictionaryKey(const std::string& key) const = 0;
};

}  // namespace pelko
