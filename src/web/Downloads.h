#pragma once

#include "platform/CoreGuard.h"

#include <map>
#include <string>

#include "platform/WebViewDelegates.h"

namespace pelko {

class Alerts;
class DownloadOrigins;
class Files;
class MainQueue;
class Workspace;

// Downloads land in the user's Downloads folder under a free name, get their
// origin recorded on the file, then are revealed and, unless that could run
// code, opened. Each download keeps its
// own destination, so downloads that overlap never trade files, and a name
// chosen for one still in progress is not chosen again. Main thread only.
class Downloads {
public:
    // The ports it uses.
    struct UsedPorts {
        Files& files;
        Workspace& workspace;
        DownloadOrigins& downloadOrigins;
        MainQueue& mainQueue;
        Alerts& alerts;
    };
    explicit Downloads(UsedPorts ports);

    // The path the download is written to.
    std::string decideDestination(const DownloadRef& download, const std::string& suggestedFilename);
    void didFinish(const DownloadRef& download);
    // A cancelled download (one that was declined a destination, say) is
    // no failure the user needs to hear of.
    void didFail(const DownloadRef& download, const DownloadFailure& failure);

private:
    std::string folder() const;

    const UsedPorts ports_;
    std::map<unsigned long long, std::string> destinations_;  // by download
};

}  // namespace pelko
