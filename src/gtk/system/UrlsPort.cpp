#include "gtk/system/UrlsPort.h"

#include <glib.h>

#include <cctype>
#include <cstring>

#include "gtk/system/GObjectRef.h"

namespace pelko::gtk {

namespace {

// Characters a URL may not hold unescaped: controls, blanks, non-ASCII and
// the few ASCII characters RFC 3986 excludes.
bool allowedInUrl(unsigned char c) {
    if (c <= 0x20 || c >= 0x7f) return false;
    return std::strchr("\"<>\\^`{|}", c) == nullptr;
}

bool hasValidEscapes(const std::string& text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') continue;
        if (i + 2 >= text.size() || !std::isxdigit(static_cast<unsigned char>(text[i + 1])) ||
            !std::isxdigit(static_cast<unsigned char>(text[i + 2])))
            return false;
        i += 2;
    }
    return true;
}

std::string orEmpty(const char* text) { return text ? text : ""; }

}  // namespace

std::optional<Url> UrlsPort::urlFromString(const std::string& text) const {
    if (text.empty()) return std::nullopt;
    for (unsigned char c : text) {
        if (!allowedInUrl(c)) return std::nullopt;
    }
    if (!hasValidEscapes(text)) return std::nullopt;

    char* scheme = nullptr;
    char* host = nullptr;
    char* path = nullptr;
    gint port = -1;
    if (!g_uri_split(text.c_str(), G_URI_FLAGS_ENCODED, &scheme, nullptr, &host, &port, &path, nullptr, nullptr,
                     nullptr))
        return std::nullopt;
    OwnedGString ownedScheme(scheme), ownedHost(host), ownedPath(path);

    Url url;
    url.absoluteString = text;
    url.scheme = orEmpty(scheme);
    url.host = orEmpty(host);
    if (port >= 0) url.port = port;
    // A path whose escapes decode to something unrepresentable stays as written.
    OwnedGString decoded(g_uri_unescape_string(orEmpty(path).c_str(), nullptr));
    url.path = decoded ? decoded.get() : orEmpty(path);
    return url;
}

}  // namespace pelko::gtk
