#include "gtk/system/DownloadOriginsPort.h"

#include <sys/xattr.h>

namespace pelko::gtk {

namespace {

void setAttribute(const std::string& path, const char* name, const std::optional<std::string>& value) {
    if (value) setxattr(path.c_str(), name, value->data(), value->size(), 0);
}

}  // namespace

void DownloadOriginsPort::recordOrigin(const std::string& path, const DownloadOrigin& origin) {
    setAttribute(path, "user.xdg.origin.url", origin.dataURL);
    setAttribute(path, "user.xdg.referrer.url", origin.referrerURL);
}

}  // namespace pelko::gtk
