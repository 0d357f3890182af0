#include "web/DownloadOrigin.h"

namespace pelko {

namespace {

std::optional<std::string> recordable(const std::optional<Url>& url) {
    if (!url || (url->scheme != "http" && url->scheme != "https")) return std::nullopt;
    std::string text = url->absoluteString;
    if (const auto fragment = text.find('#'); fragment != std::string::npos) text.erase(fragment);
    const auto authority = text.find("://");
    if (authority == std::string::npos) return std::nullopt;
    const auto start = authority + 3;
    const auto end = text.find_first_of("/?", start);
    const auto at = text.rfind('@', end == std::string::npos ? std::string::npos : end - 1);
    if (at != std::string::npos && at >= start) text.erase(start, at + 1 - start);
    return text;
}

}  // namespace

DownloadOrigin downloadOrigin(const DownloadRef& download) {
    return DownloadOrigin{recordable(download.originalRequestURL), recordable(download.referrerURL)};
}

}  // namespace pelko
