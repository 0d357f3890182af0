#pragma once

#include "platform/CoreGuard.h"

#include <functional>
#include <memory>
#include <string>

#include "platform/Url.h"
#include "platform/UrlSession.h"
#include "update/UpdateManifest.h"

namespace pelko {

class Alerts;
class MainQueue;
class UrlSession;
class Urls;

// Reads the update manifest and offers a newer version. The silent check
// runs at launch and says nothing unless there is an update; the manual
// check always answers: the prompt, "You're up to date" when the manifest it
// read names no newer version, or "Couldn't Check for Updates" when it could
// read none. An accepted update is loaded into the web view, where the
// navigation policy makes it a download.
//
// Main thread only, except the request's completion. Always owned by a
// std::shared_ptr: a request's completion holds it weakly.
class UpdateChecker : public std::enable_shared_from_this<UpdateChecker> {
public:
    // `appVersion` gives the running version; `load` shows a URL in the web view.
    // The ports it uses.
    struct UsedPorts {
        UrlSession& urlSession;
        Urls& urls;
        MainQueue& mainQueue;
        Alerts& alerts;
    };
    UpdateChecker(UsedPorts ports, Url feedURL, std::function<std::string()> appVersion,
                  std::function<void(const Url&)> load);

    void checkForUpdate();
    void checkForUpdateManual();

private:
    // `manual`: the user asked, so every outcome is told.
    void fetchManifest(bool manual);
    // Main thread: the offer, or what the user who asked is told instead.
    void answer(const ManifestReading& reading, const std::string& runningVersion,
                const std::optional<UrlError>& error);
    void promptUpdate(const std::string& latest, const std::string& url);

    const UsedPorts ports_;
    const Url feedURL_;
    const std::function<std::string()> appVersion_;
    const std::function<void(const Url&)> load_;
};

}  // namespace pelko
