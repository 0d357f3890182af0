#include "install/Relocator.h"

#include "install/Relocation.h"
#include "platform/Alerts.h"
#include "platform/Application.h"
#include "platform/Bundle.h"
#include "platform/DiskImages.h"
#include "platform/Processes.h"

namespace pelko {

Relocator::Relocator(UsedPorts ports) : ports_(ports) {}

bool Relocator::relocateToApplicationsIfNeeded() {
    if (!ports_.bundle.isApplicationBundle()) return false;
    const std::string bundlePath = ports_.bundle.bundlePath();
    if (!offersRelocation(bundlePath)) return false;

    const int answer = ports_.alerts.runModal(AlertSpec{
        "Move Pelko to Applications?",
        "Pelko works best from your Applications folder. Move it there now and launch it from there? (Recommended)",
        {"Move to Applications", "Not Now"},
        1});
    if (answer != kAlertFirstButtonReturn) return false;

    if (auto error = install(bundlePath)) {
        ports_.alerts.runModal(AlertSpec{
            "Couldn't move Pelko automatically",
            "Please drag Pelko into your Applications folder manually.\n\n(" + error->localizedDescription + ")",
            {}});
        return false;
    }

    // The shell outlives this process: it waits for it to go, opens the copy
    // and lets go of the disk image the application came on, and of no other
    // volume. A shell that does not start leaves the user with the copy in
    // place, so the quit goes ahead.
    std::optional<std::string> diskImage = volumeMountPath(bundlePath);
    if (diskImage && !ports_.diskImages.isMountedDiskImage(*diskImage)) diskImage.reset();
    ports_.processes.launch("/bin/sh", {"-c", relaunchCommand(diskImage)});
    ports_.application.terminate();
    return true;
}

FileOutcome Relocator::install(const std::string& bundlePath) {
    Files& files = ports_.files;
    // What an interrupted earlier move left behind, if anything.
    files.removeItemAtPath(kStagingPath);

    FileOutcome error = files.copyItemAtPath(bundlePath, kStagingPath);
    if (!error) {
        error = files.fileExistsAtPath(kInstallTarget) ? files.replaceItemAtPath(kInstallTarget, kStagingPath)
                                                       : files.moveItemAtPath(kStagingPath, kInstallTarget);
    }
    if (error) files.removeItemAtPath(kStagingPath);
    return error;
}

}  // namespace pelko
