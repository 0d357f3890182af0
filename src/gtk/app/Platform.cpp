#include "gtk/app/Platform.h"

#include <gtk/gtk.h>

// Generated from resources/pelko.gresource.xml.
void pelko_register_resource();

namespace pelko::gtk {

namespace {
constexpr const char* kIconResourcePath = "/ai/pelko/Desktop/icons";
}  // namespace

Platform::Platform(GtkApplication* application, DataDirectories directories, std::string version,
                             SpeechModel speechModel)
    : directories_(std::move(directories)),
      settings_(directories_.settingsFile()),
      dataStore_(directories_, downloads_),
      alerts_(application),
      bundle_(version),
      application_(application, kApplicationName, version),
      toolkit_(application_, settings_, dataStore_, urls_),
      userDefaults_(settings_),
      networkMonitor_(mainQueue_),
      speech_(std::move(speechModel)),
      permissions_(mainQueue_),
      urlSession_(std::string(kApplicationName) + "/" + version + " ") {
    // The application's icon, for its windows and the About panel.
    static const bool registered = (pelko_register_resource(), true);
    (void)registered;
    // GtkApplication looks there itself only if the icon was there when it started.
    if (GdkDisplay* display = gdk_display_get_default()) {
        gtk_icon_theme_add_resource_path(gtk_icon_theme_get_for_display(display), kIconResourcePath);
    }
}

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

}  // namespace pelko::gtk
