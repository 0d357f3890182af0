#include "update/UpdateChecker.h"

#include "platform/Alerts.h"
#include "platform/MainQueue.h"
#include "platform/UrlSession.h"
#include "update/VersionComparison.h"

namespace pelko {

namespace {

std::string plainReason(ManifestFailure failure) {
    switch (failure) {
    case ManifestFailure::noAnswer: return "The update server could not be reached.";
    case ManifestFailure::notAManifest: return "The update server's answer was not an update description.";
    case ManifestFailure::incomplete: return "The update description names no version or no download address.";
    }
    return {};
}

}  // namespace

UpdateChecker::UpdateChecker(UsedPorts ports, Url feedURL, std::function<std::string()> appVersion,
                             std::function<void(const Url&)> load)
    : ports_(ports), feedURL_(std::move(feedURL)), appVersion_(std::move(appVersion)), load_(std::move(load)) {}

void UpdateChecker::checkForUpdate() { fetchManifest(false); }

void UpdateChecker::checkForUpdateManual() { fetchManifest(true); }

void UpdateChecker::fetchManifest(bool manual) {
    const std::string running = appVersion_();
    std::weak_ptr<UpdateChecker> weakSelf = weak_from_this();
    MainQueue* mainQueue = &ports_.mainQueue;
    // Runs on the session's queue; the checker itself is only taken on the main queue.
    ports_.urlSession.dataTaskWithURL(
        feedURL_, [weakSelf, mainQueue, running, manual](const std::optional<std::string>& data,
                                                         const std::optional<UrlResponse>&,
                                                         const std::optional<UrlError>& error) {
            if (weakSelf.expired()) return;
            ManifestReading reading = readUpdateManifest(data);
            const auto* manifest = std::get_if<UpdateManifest>(&reading);
            // The launch check says nothing but an offer: the user asked for nothing.
            if (!manual && (!manifest || !isNewer(manifest->version, running))) return;
            mainQueue->async([weakSelf, reading = std::move(reading), running, error] {
                if (auto self = weakSelf.lock()) self->answer(reading, running, error);
            });
        });
}

void UpdateChecker::answer(const ManifestReading& reading, const std::string& runningVersion,
                           const std::optional<UrlError>& error) {
    if (const auto* failure = std::get_if<ManifestFailure>(&reading)) {
        // Never "up to date" when nothing was read; the session's own words say why.
        std::string reason = plainReason(*failure);
        if (*failure == ManifestFailure::noAnswer && error) reason += " (" + describeUrlError(*error) + ")";
        ports_.alerts.runModal(AlertSpec{"Couldn't Check for Updates", reason, {}});
        return;
    }
    const auto& manifest = std::get<UpdateManifest>(reading);
    if (isNewer(manifest.version, runningVersion)) {
        promptUpdate(manifest.version, manifest.url);
        return;
    }
    ports_.alerts.runModal(
        AlertSpec{"You're up to date", "Pelko " + runningVersion + " is the latest version.", {}});
}

void UpdateChecker::promptUpdate(const std::string& latest, const std::string& url) {
    const std::string message = "Pelko " + latest + " is available (you have " + appVersion_() +
                                "). Download the new version?";
    const int answer = ports_.alerts.runModal(AlertSpec{"Update Available", message, {"Download", "Later"}, 1});
    if (answer != kAlertFirstButtonReturn) return;
    if (const auto address = ports_.urls.urlFromString(url)) load_(*address);
}

}  // namespace pelko
