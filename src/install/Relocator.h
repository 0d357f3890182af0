#pragma once

#include "platform/CoreGuard.h"

#include <string>

#include "platform/Files.h"

namespace pelko {

class Alerts;
class Application;
class Bundle;
class DiskImages;
class Files;
class Processes;

// Offers, at launch, to move an application started from a mounted volume
// or a Downloads folder into /Applications, and relaunches the moved copy,
// detaching the volume it came on when that is a disk image.
// Nothing is remembered: a user who declines is asked again next time.
class Relocator {
public:
    // The ports it uses.
    struct UsedPorts {
        Bundle& bundle;
        Alerts& alerts;
        Files& files;
        DiskImages& diskImages;
        Processes& processes;
        Application& application;
    };
    explicit Relocator(UsedPorts ports);

    // True when the copy is in place, its start is arranged and the
    // application has been asked to terminate: the launch must stop.
    bool relocateToApplicationsIfNeeded();

    // Where the copy is assembled: inside /Applications, so that putting it
    // in place is a rename on the same volume; hidden while it is partial.
    static constexpr const char* kStagingPath = "/Applications/.Pelko.app.partial";

private:
    // Copies the bundle beside the install target, then swaps it in: a copy
    // that fails leaves the earlier application as it was.
    FileOutcome install(const std::string& bundlePath);

    const UsedPorts ports_;
};

}  // namespace pelko
