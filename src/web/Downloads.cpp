#include "web/Downloads.h"

#include <algorithm>

#include "platform/Alerts.h"
#include "platform/DownloadOrigins.h"
#include "platform/Files.h"
#include "platform/MainQueue.h"
#include "platform/Workspace.h"
#include "web/DownloadNames.h"
#include "web/DownloadOrigin.h"

namespace pelko {

Downloads::Downloads(UsedPorts ports) : ports_(ports) {}

std::string Downloads::folder() const {
    if (auto downloads = ports_.files.downloadsDirectory()) return *downloads;
    // Not created here: a download into a folder that is not there fails and says so.
    return ports_.files.homeDirectory() + "/Downloads";
}

std::string Downloads::decideDestination(const DownloadRef& download, const std::string& suggestedFilename) {
    const std::string name = downloadFileName(suggestedFilename, download.originalRequestURL);
    const std::string destination = freeDestination(folder(), name, [this](const std::string& path) {
        const bool reserved = std::any_of(destinations_.begin(), destinations_.end(),
                                          [&](const auto& entry) { return entry.second == path; });
        return reserved || ports_.files.fileExistsAtPath(path);
    });
    destinations_[download.id] = destination;
    return destination;
}

void Downloads::didFinish(const DownloadRef& download) {
    const auto entry = destinations_.find(download.id);
    if (entry == destinations_.end()) return;
    const std::string path = entry->second;
    destinations_.erase(entry);
    // Before anything opens it: on macOS the quarantine is what makes the
    // system check the file when it is opened.
    ports_.downloadOrigins.recordOrigin(path, downloadOrigin(download));
    ports_.workspace.activateFileViewerSelecting({path});
    if (!fileMayRunCode(path)) ports_.workspace.openFile(path);
}

void Downloads::didFail(const DownloadRef& download, const DownloadFailure& failure) {
    destinations_.erase(download.id);
    if (failure.cancelled) return;
    queueAlert(ports_.mainQueue, ports_.alerts, "Download failed", failure.localizedDescription);
}

}  // namespace pelko
