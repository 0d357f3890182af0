#pragma once

#include <string>

#include "platform/Bundle.h"

namespace pelko::gtk {

// Linux has no application bundle: the folder of the running executable
// stands in for it, and the information dictionary holds what the build
// knows about itself.
class BundlePort : public Bundle {
public:
    // `shortVersion` is the build's version text.
    explicit BundlePort(std::string shortVersion);
    std::string bundlePath() const override;
    // There is no Applications folder to move into.
    bool isApplicationBundle() const override { return false; }
    std::optional<nlohmann::json> objectForInfoDictionaryKey(const std::string& key) const override;

private:
    nlohmann::json info_;
};

}  // namespace pelko::gtk
