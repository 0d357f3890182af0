#include "gtk/system/DataDirectories.h"

#include <glib.h>

namespace pelko::gtk {

namespace {
constexpr const char* kFolderName = "pelko";

std::string under(const char* base) { return std::string(base) + "/" + kFolderName; }
}  // namespace

DataDirectories DataDirectories::forCurrentUser() {
    return DataDirectories{under(g_get_user_config_dir()), under(g_get_user_data_dir()),
                           under(g_get_user_cache_dir())};
}

}  // namespace pelko::gtk
