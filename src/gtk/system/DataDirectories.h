#pragma once

#include <string>

namespace pelko::gtk {

// Where the application keeps its files, under the XDG base directories.
struct DataDirectories {
    std::string config;  // $XDG_CONFIG_HOME/pelko: settings.ini
    std::string data;    // $XDG_DATA_HOME/pelko: website data, cookies
    std::string cache;   // $XDG_CACHE_HOME/pelko: the web cache

    static DataDirectories forCurrentUser();
    std::string settingsFile() const { return config + "/settings.ini"; }
    std::string cookieFile() const { return data + "/cookies.sqlite"; }
};

}  // namespace pelko::gtk
