#pragma once

#include "platform/CoreGuard.h"

#include <memory>
#include <string>
#include <vector>

#include "platform/MainQueue.h"

namespace pelko {

class Alerts;
class Bundle;
class Files;
class MainQueue;
class Processes;

class Timer;

inline constexpr const char* kLaunchctlPath = "/bin/launchctl";
// How long one launchctl run may block the main thread before it is ended and counts as failed.
inline constexpr Duration kLaunchctlTimeout{10000};

// Installs and removes the iMessage agent: a per-user launchd job that runs
// the helper shipped in the bundle with the page's pairing code. The state
// lives in the property list file and in launchd, none here. Requests come
// from the page and end silently unless the user has something to act on.
// Where there is no launchctl (Linux) requests change nothing. Main thread.
class AgentInstaller {
public:
    // The ports it uses.
    struct UsedPorts {
        Files& files;
        Processes& processes;
        Bundle& bundle;
        MainQueue& mainQueue;
        Alerts& alerts;
    };
    explicit AgentInstaller(UsedPorts ports);
    ~AgentInstaller();
    AgentInstaller(const AgentInstaller&) = delete;
    AgentInstaller& operator=(const AgentInstaller&) = delete;

    void setupIMessageAgent(const std::string& pairingCode, const std::string& apiBase);
    void disconnectIMessageAgent();
    // Runs launchctl with the arguments and waits: true when it exited with 0.
    bool runLaunchctl(const std::vector<std::string>& arguments);

    // After a bootout the old job goes away asynchronously, and a bootstrap
    // made meanwhile fails; it is tried again this often before giving up.
    static constexpr int kBootstrapRetries = 4;
    static constexpr Duration kBootstrapRetryDelay{100};

private:
    bool launchdAvailable() const;
    std::string domainTarget() const;
    void showAlert(std::string title, std::string message);
    // Bootstraps the job; on failure retries while `retriesLeft`, then falls
    // back to the legacy load.
    void bootstrap(const std::string& plistPath, int retriesLeft);
    void cancelPendingBootstrap();

    const UsedPorts ports_;
    std::unique_ptr<Timer> pendingBootstrap_;
};

}  // namespace pelko
