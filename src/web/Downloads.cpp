#include "app/AppDelegate.h"

// Until downloads are built, a download is declined (the handler is still
// answered exactly once).
namespace pelko {

void AppDelegate::navigationDidBecomeDownload(const DownloadRef& /*download*/) {}

void AppDelegate::decideDestination(const DownloadRef& /*download*/, const std::string& /*suggestedFilename*/,
                                    DownloadDestinationCompletion completionHandler) {
    completionHandler(std::nullopt);
}

void AppDelegate::downloadDidFinish(const DownloadRef& /*download*/) {}

void AppDelegate::downloadDidFail(const DownloadRef& /*download*/, const std::string& /*localizedDescription*/) {}

}  // namespace pelko
