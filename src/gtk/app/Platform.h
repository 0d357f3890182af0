#pragma once

#include <memory>
#include <optional>
#include <string>

#include "gtk/app/AlertsPort.h"
#include "gtk/app/ApplicationPort.h"
#include "gtk/app/ToolkitPort.h"
#include "gtk/system/BundlePort.h"
#include "gtk/system/DataDirectories.h"
#include "gtk/system/DiskImagesPort.h"
#include "gtk/system/DownloadOriginsPort.h"
#include "gtk/system/FilesPort.h"
#include "gtk/system/MainQueuePort.h"
#include "gtk/system/NetworkMonitorPort.h"
#include "gtk/system/ProcessesPort.h"
#include "gtk/system/SettingsFile.h"
#include "gtk/system/UrlSessionPort.h"
#include "gtk/system/UrlsPort.h"
#include "gtk/system/UserDefaultsPort.h"
#include "gtk/system/WorkspacePort.h"
#include "gtk/voice/AudioPort.h"
#include "gtk/voice/PermissionsPort.h"
#include "gtk/voice/SpeechPort.h"
#include "gtk/web/DownloadRelay.h"
#include "gtk/web/OpenPanelsPort.h"
#include "gtk/web/WebsiteDataStore.h"
#include "platform/Ports.h"

typedef struct _GtkApplication GtkApplication;

namespace pelko::gtk {

// The fixed application id: a second launch finds the running instance by it.
inline constexpr const char* kApplicationId = "ai.pelko.Desktop";
inline constexpr const char* kApplicationName = "Pelko";

// Every port of the Linux build, made over one GtkApplication and kept for
// the life of the process.
class Platform {
public:
    // `speechModel`: what the speech recognizer loads; the installed model and its language model by default.
    Platform(GtkApplication* application, DataDirectories directories, std::string version,
                  SpeechModel speechModel = {});
    Platform(const Platform&) = delete;
    Platform& operator=(const Platform&) = delete;

    Ports ports();
    const DataDirectories& directories() const { return directories_; }
    ApplicationPort& application() { return application_; }
    DownloadRelay& downloads() { return downloads_; }
    const Urls& urls() const { return urls_; }
    SettingsFile& settings() { return settings_; }
    // Voice input from now on plays this WAV file instead of the microphone; none: the microphone.
    void setAudioFile(std::optional<std::string> path) { audio_.useFile(std::move(path)); }

private:
    DataDirectories directories_;
    UrlsPort urls_;
    SettingsFile settings_;
    DownloadRelay downloads_;
    WebsiteDataStore dataStore_;
    MainQueuePort mainQueue_;
    AlertsPort alerts_;
    BundlePort bundle_;
    ApplicationPort application_;
    ToolkitPort toolkit_;
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
    // Last, so it stops first: requests it cancels may still post to the main queue.
    UrlSessionPort urlSession_;
};

}  // namespace pelko::gtk
