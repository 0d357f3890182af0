#pragma once

#include "platform/CoreGuard.h"

#include <optional>
#include <string>

#include "platform/Url.h"

namespace pelko {

// Parses a configured origin, "http[s]://host[:port]". Scheme and host are
// lower-cased; a missing port stays 0 (the scheme's default).
std::optional<SecurityOrigin> parseOrigin(const std::string& text);

// Same scheme, host and port, with a scheme's default port equal to no port.
// An origin without a host matches nothing, not even itself.
bool sameOrigin(const SecurityOrigin& a, const SecurityOrigin& b);

}  // namespace pelko
