#pragma once

#include "platform/DownloadOrigins.h"

namespace pelko::mac {

// The file's quarantine properties: a web download, with the file's and the
// page's addresses. WebKit's networking process usually quarantines the file
// itself (LSFileQuarantineEnabled); then its properties are left as they are.
class DownloadOriginsPort : public DownloadOrigins {
public:
    void recordOrigin(const std::string& path, const DownloadOrigin& origin) override;
};

}  // namespace pelko::mac
