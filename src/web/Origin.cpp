#include "web/Origin.h"

#include <algorithm>
#include <cctype>

namespace pelko {
namespace {

std::string lowered(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

int defaultPort(const std::string& scheme) {
    if (scheme == "http") return 80;
    if (scheme == "https") return 443;
    return 0;
}

int effectivePort(const SecurityOrigin& origin) {
    return origin.port != 0 ? origin.port : defaultPort(lowered(origin.scheme));
}

}  // namespace

std::optional<SecurityOrigin> parseOrigin(const std::string& text) {
    const auto sep = text.find("://");
    if (sep == std::string::npos) return std::nullopt;
    SecurityOrigin origin;
    origin.scheme = lowered(text.substr(0, sep));
    if (origin.scheme != "http" && origin.scheme != "https") return std::nullopt;
    std::string rest = text.substr(sep + 3);
    if (rest.empty() || rest.find_first_of("/?#@") != std::string::npos) return std::nullopt;
    // The port follows the last colon, unless that colon is inside an IPv6 literal.
    const auto colon = rest.rfind(':');
    const auto bracket = rest.rfind(']');
    if (colon != std::string::npos && (bracket == std::string::npos || colon > bracket)) {
        const std::string portText = rest.substr(colon + 1);
        if (portText.empty() || portText.size() > 5 ||
            !std::all_of(portText.begin(), portText.end(), [](unsigned char c) { return std::isdigit(c); }))
            return std::nullopt;
        const int port = std::stoi(portText);
        if (port < 1 || port > 65535) return std::nullopt;
        origin.port = port;
        rest.resize(colon);
    }
    if (rest.empty()) return std::nullopt;
    origin.host = lowered(rest);
    return origin;
}

bool sameOrigin(const SecurityOrigin& a, const SecurityOrigin& b) {
    // Opaque origins (sandboxed frames, data: and file: documents) have no
    // host and are never the same as anything.
    if (a.host.empty() || b.host.empty()) return false;
    return lowered(a.scheme) == lowered(b.scheme) && lowered(a.host) == lowered(b.host) &&
           effectivePort(a) == effectivePort(b);
}

}  // namespace pelko
