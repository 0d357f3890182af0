#pragma once

#include "platform/Bundle.h"

namespace pelko::mac {

// NSBundle's main bundle: the application bundle, at the place the user put
// it even when the system runs it translocated.
class BundlePort : public Bundle {
public:
    std::string bundlePath() const override;
    bool isApplicationBundle() const override { return true; }
    std::optional<nlohmann::json> objectForInfoDictionaryKey(const std::string& key) const override;
};

}  // namespace pelko::mac
