// The process entry of the Linux build.
#include <gtk/gtk.h>

#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "app/AppConfig.h"
#include "app/AppDelegate.h"
#include "app/BuildConfig.h"
#include "app/CommandLine.h"
#include "gtk/app/ApplicationLifecycle.h"
#include "gtk/app/Platform.h"
#include "gtk/app/SoftwareDrawing.h"
#include "gtk/app/StartupTrace.h"
#include "gtk/system/UrlsPort.h"

namespace {

using namespace pelko;

struct Process {
    std::optional<AppConfig> config;
    gtk::SpeechModel speechModel;
    std::unique_ptr<gtk::Platform> platform;
    std::shared_ptr<AppDelegate> delegate;
    std::unique_ptr<gtk::ApplicationLifecycle> lifecycle;
    int status = 0;
};

// Runs only in the instance that owns the application id; a second launch
// hands its activation to that one and exits.
void onStartup(GtkApplication* application, gpointer data) {
    gtk::traceStartup("toolkit-ready");
    auto* process = static_cast<Process*>(data);
    process->platform = std::make_unique<gtk::Platform>(application, gtk::DataDirectories::forCurrentUser(),
                                                              build::kVersion, process->speechModel);
    // A developer and benchmark option: a WAV file stands in for the microphone.
    if (const char* audioFile = g_getenv("PELKO_AUDIO_FILE"); audioFile && *audioFile)
        process->platform->setAudioFile(audioFile);
    const Ports ports = process->platform->ports();
    if (const auto problem = portsProblem(ports)) {
        g_printerr("pelko: %s\n", problem->c_str());
        process->status = 1;
        g_application_quit(G_APPLICATION(application));
        return;
    }
    process->delegate = std::make_shared<AppDelegate>(ports, *process->config);
    process->platform->downloads().setDelegate(process->delegate);
    process->lifecycle =
        std::make_unique<gtk::ApplicationLifecycle>(application, process->platform->application(), *process->delegate);
}

}  // namespace

int main(int argc, char** argv) {
    gtk::traceStartup("main");
    // Before anything that needs a display.
    switch (readCommandLine(std::vector<std::string>(argv + 1, argv + argc))) {
    case LaunchRequest::printVersion: std::printf("%s\n", build::kVersion); return 0;
    case LaunchRequest::printUsage: std::fputs(usageText("pelko").c_str(), stdout); return 0;
    case LaunchRequest::openWindow: break;
    }
    Process process;
    // A developer and benchmark option: the recognizer listens for this JSGF grammar instead of the language model.
    if (const char* grammar = g_getenv("PELKO_SPEECH_GRAMMAR"); grammar && *grammar)
        process.speechModel.grammar = grammar;
    // Dictation is offered only when there is a recognizer: a look at the model's files, before anything loads them.
    auto config = buildAppConfig(gtk::UrlsPort(), HostPlatform::linux, process.speechModel.isInstalled());
    if (const auto* error = std::get_if<ConfigError>(&config)) {
        g_printerr("pelko: %s\n", error->message.c_str());
        return 1;
    }
    process.config = std::get<AppConfig>(std::move(config));

    gtk::preferSoftwareDrawingWithoutGpu();
    g_set_prgname("pelko");
    g_set_application_name(gtk::kApplicationName);
    gtk_window_set_default_icon_name(gtk::kApplicationId);
    GtkApplication* application = gtk_application_new(gtk::kApplicationId, G_APPLICATION_DEFAULT_FLAGS);
    g_signal_connect(application, "startup", G_CALLBACK(onStartup), &process);
    // GTK is given no arguments: its own options are not the application's.
    char* arguments[] = {argv[0], nullptr};
    const int status = g_application_run(G_APPLICATION(application), 1, arguments);

    process.lifecycle.reset();
    process.delegate.reset();
    process.platform.reset();
    g_object_unref(application);
    return process.status ? process.status : status;
}
