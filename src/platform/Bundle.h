#pragma once

#include <nlohmann/json.hpp>
#include <optional>
#include <string>

namespace pelko {

// The running application's bundle.
class Bundle {
public:
    virtual ~Bundle() = default;
    // Where the application lies. On macOS, when the system runs a
    // quarantined copy from a randomized read-only location, this is still
    // the path the user put it at.
    virtual std::string bundlePath() const = 0;
    // Whether the application is a bundle that can be copied as a whole into
    // the Applications folder; false where there is neither (Linux).
    virtual bool isApplicationBundle() const = 0;
    // The information-dictionary value under `key`, of whatever type it has,
    // or none when the key is absent.
    virtual std::optional<nlohmann::json> objectForInfoDictionaryKey(const std::string& key) const = 0;
};

}  // namespace pelko
