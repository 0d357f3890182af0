#pragma once

#include "platform/DownloadOrigins.h"

namespace pelko::gtk {

// The freedesktop.org attributes desktop browsers set on a download, as
// extended attributes of the file: user.xdg.origin.url and
// user.xdg.referrer.url. A file system without user attributes keeps none.
class DownloadOriginsPort : public DownloadOrigins {
public:
    void recordOrigin(const std::string& path, const DownloadOrigin& origin) override;
};

}  // namespace pelko::gtk
