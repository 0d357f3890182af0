#pragma once

#include "platform/CoreGuard.h"

#include <optional>
#include <string>
#include <vector>

namespace pelko {

class Alerts;
class Application;
class Audio;
class Bundle;
class DiskImages;
class DownloadOrigins;
class Files;
class MainQueue;
class NetworkMonitor;
class OpenPanels;
class Permissions;
class Processes;
class Speech;
class Toolkit;
class UrlSession;
class Urls;
class UserDefaults;
class Workspace;

// The platform as the core sees it. A backend fills every member and keeps
// the objects alive for the life of the process.
struct Ports {
    Application* application = nullptr;
    Alerts* alerts = nullptr;
    Bundle* bundle = nullptr;
    MainQueue* mainQueue = nullptr;
    Toolkit* toolkit = nullptr;
    Urls* urls = nullptr;
    UrlSession* urlSession = nullptr;
    UserDefaults* userDefaults = nullptr;
    Workspace* workspace = nullptr;
    Files* files = nullptr;
    OpenPanels* openPanels = nullptr;
    Processes* processes = nullptr;
    NetworkMonitor* networkMonitor = nullptr;
    DownloadOrigins* downloadOrigins = nullptr;
    // Voice: capture, recognition and the privacy answers they need.
    Audio* audio = nullptr;
    Speech* speech = nullptr;
    Permissions* permissions = nullptr;
    // Install location: whether the volume the application came on is a disk image.
    DiskImages* diskImages = nullptr;
};

// The members a backend left unset, by name; empty when every port is there.
std::vector<std::string> missingPorts(const Ports& ports);
// What the process entry reports before refusing to start, or none.
std::optional<std::string> portsProblem(const Ports& ports);

}  // namespace pelko
