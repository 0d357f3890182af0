#pragma once

#include "platform/Bundle.h"

namespace pelko::mac {

// NSBundle's main bundle: the application bundle.
class MainBundle : public Bundle {
public:
    std::string bundlePath() const override;
    std::optional<nlohmann::json> objectForInfoDictionaryKey(const std::string& key) const override;
};

}  // namespace pelko::mac
