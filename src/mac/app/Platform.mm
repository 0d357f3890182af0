#import "mac/app/Platform.h"

namespace pelko::mac {

Platform::Platform() : proxy_([[PelkoDelegateProxy alloc] init]), toolkit_(proxy_) {}

Ports Platform::ports() {
    Ports ports;
    ports.application = &application_;
    ports.alerts = &alerts_;
    ports.bundle = &bundle_;
    ports.mainQueue = &mainQueue_;
    ports.toolkit = &toolkit_;
    ports.urls = &urls_;
    ports.urlSession = &urlSession_;
    ports.userDefaults = &userDefaults_;
    ports.workspace = &workspace_;
    ports.files = &files_;
    ports.openPanels = &openPanels_;
    ports.processes = &processes_;
    ports.networkMonitor = &networkMonitor_;
    ports.downloadOrigins = &downloadOrigins_;
    ports.audio = &audio_;
    ports.speech = &speech_;
    ports.permissions = &permissions_;
    ports.diskImages = &diskImages_;
    return ports;
}

}  // namespace pelko::mac
