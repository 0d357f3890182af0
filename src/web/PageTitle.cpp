#include "web/PageTitle.h"

#include "web/NavigationPolicy.h"

namespace pelko {

std::string windowTitleForPage(const std::optional<Url>& url, const std::string& apexDomain) {
    if (!url || url->host.empty() || isServiceHost(url->host, apexDomain)) return "Pelko";
    return "Pelko \u2014 " + url->host;
}

}  // namespace pelko
