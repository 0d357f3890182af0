#pragma once

#import "mac/DelegateProxy.h"

#include "mac/AudioEngineCapture.h"
#include "mac/CocoaAlerts.h"
#include "mac/CocoaApplicationPort.h"
#include "mac/CocoaOpenPanels.h"
#include "mac/CocoaToolkit.h"
#include "mac/CocoaWorkspace.h"
#include "mac/DiskImages.h"
#include "mac/DispatchMainQueue.h"
#include "mac/FileManagerFiles.h"
#include "mac/FoundationUrls.h"
#include "mac/MainBundle.h"
#include "mac/SharedUrlSession.h"
#include "mac/SpeechFramework.h"
#include "mac/StandardUserDefaults.h"
#include "mac/SystemPermissions.h"
#include "mac/TaskProcesses.h"
#include "platform/Ports.h"

NS_ASSUME_NONNULL_BEGIN

namespace pelko::mac {

// Every port of the macOS build and the one delegate proxy they call back
// through, kept for the life of the process.
class MacPlatform {
public:
    MacPlatform();
    MacPlatform(const MacPlatform&) = delete;
    MacPlatform& operator=(const MacPlatform&) = delete;

    Ports ports();
    PelkoDelegateProxy* proxy() const { return proxy_; }
    const Urls& urls() const { return urls_; }

private:
    // Strong: the application, windows and web views hold their delegates weakly.
    PelkoDelegateProxy* proxy_;
    CocoaApplicationPort application_;
    CocoaAlerts alerts_;
    MainBundle bundle_;
    DispatchMainQueue mainQueue_;
    CocoaToolkit toolkit_;
    FoundationUrls urls_;
    SharedUrlSession urlSession_;
    StandardUserDefaults userDefaults_;
    CocoaWorkspace workspace_;
    FileManagerFiles files_;
    CocoaOpenPanels openPanels_;
    TaskProcesses processes_;
    AudioEngineCapture audio_;
    SpeechFramework speech_;
    SystemPermissions permissions_;
    DiskImages diskImages_;
};

}  // namespace pelko::mac

NS_ASSUME_NONNULL_END
