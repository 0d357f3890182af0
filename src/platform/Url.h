#pragma once

#include <optional>
#include <string>

namespace pelko {

// A URL as the platform parsed it. The core never parses URL text itself;
// it asks the `Urls` port and works on these parts.
struct Url {
    std::string absoluteString;
    std::string scheme;
    std::string host;              // empty when the URL has none
    std::optional<int> port;       // only when written explicitly
    std::string path;

    bool operator==(const Url&) const = default;
};

// The security origin of a frame: scheme, host and port. A port of 0 stands
// for the scheme's default port.
struct SecurityOrigin {
    std::string scheme;
    std::string host;
    int port = 0;

    bool operator==(const SecurityOrigin&) const = default;
};

// Turns text into a URL the way the platform's URL type does.
class Urls {
public:
    virtual ~Urls() = default;
    virtual std::optional<Url> urlFromString(const std::string& text) const = 0;
};

}  // namespace pelko
