#pragma once

#include "platform/CoreGuard.h"

#include <optional>
#include <string>

#include "platform/Url.h"

namespace pelko {

// The window's title after a page loads: "Pelko" on the service, "Pelko — host" elsewhere.
std::string windowTitleForPage(const std::optional<Url>& url, const std::string& apexDomain);

}  // namespace pelko
