#include "agent/AgentInstaller.h"

#include "agent/AgentFiles.h"
#include "platform/Alerts.h"
#include "platform/Bundle.h"
#include "platform/Files.h"
#include "platform/Processes.h"

namespace pelko {

namespace {

constexpr const char* kAlreadyInstalledTitle = "Pelko's background agent is already installed";
constexpr const char* kAlreadyInstalledMessage =
    "This Mac already runs the self-updating Pelko agent, so there's nothing to set up \u2014 it connects on its "
    "own. If the Integrations page still shows this Mac offline, the agent may be paired to a different Pelko "
    "account; run its update command from the iMessage card, or remove "
    "~/Library/LaunchAgents/com.pelko.agent.plist and try again.";
constexpr const char* kNotPairedTitle = "A self-managed Pelko agent is installed but not paired";
constexpr const char* kNotPairedMessage =
    "This Mac already has the self-updating Pelko agent, but it hasn't been paired. Use the one-line command "
    "shown on the iMessage card in your browser (it pairs the existing agent) instead of the bundled setup.";
constexpr const char* kHelperMissingTitle = "Couldn't find the bundled iMessage helper";
constexpr const char* kHelperMissingMessage = "Please update Pelko to the latest version, then try again.";
constexpr const char* kWriteFailedTitle = "Couldn't write the helper configuration";

// Why a value cannot go into the property list, or empty when all can:
// launchd would refuse a file holding characters XML 1.0 has no room for.
std::string unwritableValue(const std::string& home, const std::string& bundlePath, const std::string& pairingCode,
                            const std::string& apiBase) {
    if (!xmlCanHold(pairingCode))
        return "The pairing code holds characters that the helper's configuration file can't store. "
               "Get a new code from the iMessage card and try again.";
    if (!xmlCanHold(apiBase))
        return "The service address holds characters that the helper's configuration file can't store.";
    if (!xmlCanHold(bundlePath))
        return "The location Pelko runs from holds characters that the helper's configuration file can't store. "
               "Move Pelko to your Applications folder and try again.";
    if (!xmlCanHold(home))
        return "The path of your home folder holds characters that the helper's configuration file can't store.";
    return {};
}

}  // namespace

AgentInstaller::AgentInstaller(UsedPorts ports) : ports_(ports) {}

AgentInstaller::~AgentInstaller() { cancelPendingBootstrap(); }

bool AgentInstaller::launchdAvailable() const { return ports_.processes.isExecutableFileAtPath(kLaunchctlPath); }

std::string AgentInstaller::domainTarget() const { return "gui/" + std::to_string(ports_.processes.realUserId()); }

void AgentInstaller::showAlert(std::string title, std::string message) {
    queueAlert(ports_.mainQueue, ports_.alerts, std::move(title), std::move(message));
}

bool AgentInstaller::runLaunchctl(const std::vector<std::string>& arguments) {
    // launchctl answers at once; one that hangs must not hang the app with it.
    const auto status = ports_.processes.runAndWait(kLaunchctlPath, arguments, kLaunchctlTimeout);
    return status && *status == 0;
}

void AgentInstaller::setupIMessageAgent(const std::string& pairingCode, const std::string& apiBase) {
    if (!launchdAvailable()) return;
    // A later request supersedes a bootstrap still waiting for the old job.
    cancelPendingBootstrap();
    Files& files = ports_.files;
    const std::string home = files.homeDirectory();

    if (files.fileExistsAtPath(selfManagedAgentPropertyListPath(home))) {
        if (files.fileExistsAtPath(selfManagedAgentConfigurationPath(home)))
            showAlert(kAlreadyInstalledTitle, kAlreadyInstalledMessage);
        else
            showAlert(kNotPairedTitle, kNotPairedMessage);
        return;
    }

    const std::string bundlePath = ports_.bundle.bundlePath();
    const std::string executable = helperExecutablePath(bundlePath);
    const std::string script = helperScriptPath(bundlePath);
    if (!files.fileExistsAtPath(executable) || !files.fileExistsAtPath(script)) {
        showAlert(kHelperMissingTitle, kHelperMissingMessage);
        return;
    }

    if (auto reason = unwritableValue(home, bundlePath, pairingCode, apiBase); !reason.empty()) {
        showAlert(kWriteFailedTitle, std::move(reason));
        return;
    }

    // A folder that cannot be made shows up as the write's failure.
    files.createDirectoryAtPath(launchAgentsDirectory(home));
    const std::string logDirectory = agentLogDirectory(home);
    files.createDirectoryAtPath(logDirectory);

    const std::string plistPath = agentPropertyListPath(home);
    // The file holds the pairing code: owner only.
    if (auto error = files.writePrivateFileAtomically(
            plistPath, agentPropertyList(executable, script, pairingCode, apiBase, logDirectory))) {
        showAlert(kWriteFailedTitle, error->localizedDescription);
        return;
    }

    // Stops the job an earlier setup left running; fails harmlessly when none.
    const bool replacedRunningJob = runLaunchctl({"bootout", domainTarget(), plistPath});
    bootstrap(plistPath, replacedRunningJob ? kBootstrapRetries : 0);
}

void AgentInstaller::bootstrap(const std::string& plistPath, int retriesLeft) {
    if (runLaunchctl({"bootstrap", domainTarget(), plistPath})) return;
    if (retriesLeft > 0) {
        pendingBootstrap_ = ports_.mainQueue.scheduledTimer(
            kBootstrapRetryDelay, [this, plistPath, retriesLeft] { bootstrap(plistPath, retriesLeft - 1); });
        return;
    }
    // Systems without the bootstrap subcommand, or a job launchd refuses
    // that way, still take the legacy load.
    runLaunchctl({"load", plistPath});
}

void AgentInstaller::disconnectIMessageAgent() {
    if (!launchdAvailable()) return;
    cancelPendingBootstrap();
    const std::string plistPath = agentPropertyListPath(ports_.files.homeDirectory());
    runLaunchctl({"bootout", domainTarget(), plistPath});
    ports_.files.removeItemAtPath(plistPath);
}

void AgentInstaller::cancelPendingBootstrap() {
    if (pendingBootstrap_) pendingBootstrap_->invalidate();
}

}  // namespace pelko
