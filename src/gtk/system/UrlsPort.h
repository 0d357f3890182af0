#pragma once

#include "platform/Url.h"

namespace pelko::gtk {

// URL parsing by GLib's RFC 3986 parser, answering like the platform URL
// type: text that is not a valid URL reference gives none; the host and
// path as written, the path percent-decoded; a port only when written.
class UrlsPort : public Urls {
public:
    std::optional<Url> urlFromString(const std::string& text) const override;
};

}  // namespace pelko::gtk
