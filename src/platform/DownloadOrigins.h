#pragma once

#include <optional>
#include <string>

namespace pelko {

// Where a downloaded file came from, as desktop browsers record it.
struct DownloadOrigin {
    std::optional<std::string> dataURL;      // the address of the file itself
    std::optional<std::string> referrerURL;  // the page it was downloaded from, where known
    bool operator==(const DownloadOrigin&) const = default;
};

// Records a finished download's origin on the file: the quarantine
// properties on macOS (unless the web engine set them already), the
// freedesktop extended attributes on Linux. Best effort: a file system that
// cannot hold them leaves the file as it is.
class DownloadOrigins {
public:
    virtual ~DownloadOrigins() = default;
    virtual void recordOrigin(const std::string& path, const DownloadOrigin& origin) = 0;
};

}  // namespace pelko
