#pragma once

#import "mac/app/DelegateProxy.h"

#include "mac/app/AlertsPort.h"
#include "mac/app/ApplicationPort.h"
#include "mac/app/ToolkitPort.h"
#include "mac/system/BundlePort.h"
#include "mac/system/DiskImagesPort.h"
#include "mac/system/DownloadOriginsPort.h"
#include "mac/system/FilesPort.h"
#include "mac/system/MainQueuePort.h"
#include "mac/system/NetworkMonitorPort.h"
#include "mac/system/ProcessesPort.h"
#include "mac/system/UrlSessionPort.h"
#include "mac/system/UrlsPort.h"
#include "mac/system/UserDefaultsPort.h"
#include "mac/system/WorkspacePort.h"
#include "mac/voice/AudioPort.h"
#include "mac/voice/PermissionsPort.h"
#include "mac/voice/SpeechPort.h"
#include "mac/web/OpenPanelsPort.h"
#include "platform/Ports.h"

NS_ASSUME_NONNULL_BEGIN

namespace pelko::mac {

// Every port of the macOS build and the one delegate proxy they call back
// through, kept for the life of the process.
class Platform {
public:
    Platform();
    Platform(const Platform&) = delete;
    Platform& operator=(const Platform&) = delete;

    Ports ports();
    PelkoDelegateProxy* proxy() const { return proxy_; }
    const Urls& urls() const { return urls_; }

private:
    // Strong: the application, windows and web views hold their delegates weakly.
    PelkoDelegateProxy* proxy_;
    ApplicationPort application_;
    AlertsPort alerts_;
    BundlePort bundle_;
    MainQueuePort mainQueue_;
    ToolkitPort toolkit_;
    UrlsPort urls_;
    UrlSessionPort urlSession_;
    UserDefaultsPort userDefaults_;
    WorkspacePort workspace_;
    FilesPort files_;
    OpenPanelsPort openPanels_;
    ProcessesPort processes_;
    NetworkMonitorPort networkMonitor_;
    DownloadOriginsPort downloadOrigins_;
    AudioPort audio_;
    SpeechPort speech_;
    PermissionsPort permissions_;
    DiskImagesPort diskImages_;
};

}  // namespace pelko::mac

NS_ASSUME_NONNULL_END
