#pragma once

#include <memory>
#include <optional>
#include <string>

#include "gtk/DataDirectories.h"
#include "gtk/DesktopWorkspace.h"
#include "gtk/DiskImages.h"
#include "gtk/DownloadRelay.h"
#include "gtk/ExecutableBundle.h"
#include "gtk/GLibFiles.h"
#include "gtk/GUriUrls.h"
#include "gtk/GlibMainQueue.h"
#include "gtk/GtkAlerts.h"
#include "gtk/GtkApplicationPort.h"
#include "gtk/GtkOpenPanels.h"
#include "gtk/GtkToolkit.h"
#include "gtk/KeyFileUserDefaults.h"
#include "gtk/LinuxAudio.h"
#include "gtk/LinuxPermissions.h"
#include "gtk/PocketSphinxSpeech.h"
#include "gtk/SettingsFile.h"
#include "gtk/SoupUrlSession.h"
#include "gtk/SpawnProcesses.h"
#include "gtk/WebsiteDataStore.h"
#include "platform/Ports.h"

typedef struct _GtkApplication GtkApplication;

namespace pelko::gtk {

// The fixed application id: a second launch finds the running instance by it.
inline constexpr const char* kApplicationId = "ai.pelko.Desktop";
inline constexpr const char* kApplicationName = "Pelko";

// Every port of the Linux build, made over one GtkApplication and kept for
// the life of the process.
class LinuxPlatform {
public:
    // `speechModel`: what the speech recognizer loads; the installed model and its language model by default.
    LinuxPlatform(GtkApplication* application, DataDirectories directories, std::string version,
                  SpeechModel speechModel = {});
    LinuxPlatform(const LinuxPlatform&) = delete;
    LinuxPlatform& operator=(const LinuxPlatform&) = delete;

    Ports ports();
    const DataDirectories& directories() const { return directories_; }
    GtkApplicationPort& application() { return application_; }
    DownloadRelay& downloads() { return downloads_; }
    const Urls& urls() const { return urls_; }
    SettingsFile& settings() { return settings_; }
    // Voice input from now on plays this WAV file instead of the microphone; none: the microphone.
    void setAudioFile(std::optional<std::string> path) { audio_.useFile(std::move(path)); }

private:
    DataDirectories directories_;
    GUriUrls urls_;
    SettingsFile settings_;
    DownloadRelay downloads_;
    WebsiteDataStore dataStore_;
    GlibMainQueue mainQueue_;
    GtkAlerts alerts_;
    ExecutableBundle bundle_;
    GtkApplicationPort application_;
    GtkToolkit toolkit_;
    KeyFileUserDefaults userDefaults_;
    DesktopWorkspace workspace_;
    GLibFiles files_;
    GtkOpenPanels openPanels_;
    SpawnProcesses processes_;
    LinuxAudio audio_;
    PocketSphinxSpeech speech_;
    LinuxPermissions permissions_;
    DiskImages diskImages_;
    // Last, so it stops first: requests it cancels may still post to the main queue.
    SoupUrlSession urlSession_;
};

}  // namespace pelko::gtk
