#pragma once

#include "platform/Url.h"

namespace pelko::mac {

// NSURL's parsing.
class UrlsPort : public Urls {
public:
    std::optional<Url> urlFromString(const std::string& text) const override;
};

}  // namespace pelko::mac
