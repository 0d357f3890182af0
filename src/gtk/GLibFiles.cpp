#include "gtk/GLibFiles.h"

#include <glib.h>
#include <glib/gstdio.h>
#include <sys/stat.h>

#include <cerrno>

namespace pelko::gtk {

std::optional<std::string> GLibFiles::downloadsDirectory() {
    const char* named = g_get_user_special_dir(G_USER_DIRECTORY_DOWNLOAD);
    const std::string folder = named && *named ? std::string(named) : homeDirectory() + "/Downloads";
    // The mode applies only to folders made here; it fails on a file in the way.
    if (g_mkdir_with_parents(folder.c_str(), 0700) != 0) {
        g_warning("Cannot make the Downloads folder %s: %s", folder.c_str(), g_strerror(errno));
        return std::nullopt;
    }
    return folder;
}

std::string GLibFiles::homeDirectory() const { return g_get_home_dir(); }

bool GLibFiles::fileExistsAtPath(const std::string& path) const {
    GStatBuf status;
    return g_lstat(path.c_str(), &status) == 0;
}

}  // namespace pelko::gtk
