#pragma once

#include <string_view>
#include <vector>

namespace pelko::demo {

// One file of the demo site, embedded at build time.
struct SiteFile {
    std::string_view path;  // "/index.html"
    std::string_view contentType;
    std::string_view body;
};

const std::vector<SiteFile>& siteFiles();

}  // namespace pelko::demo
