#pragma once

#include <string>
#include <vector>

#include "app/AppDelegate.h"

namespace pelko::test {

// The controller with the hooks of the parts not built yet recorded instead
// of run, and the bridge messages it receives kept for the test.
class RecordingAppDelegate : public AppDelegate {
public:
    using AppDelegate::AppDelegate;

    bool relocates = false;             // the relocation check says a relaunch is under way
    bool checksForUpdates = false;      // the launch check runs, as well as being recorded
    std::vector<std::string> hookCalls;  // "relocate", "setup <code> <api>", "disconnect", "checkForUpdate"
    std::vector<ScriptMessage> scriptMessages;
    std::vector<std::string> voiceStatuses;  // every status the voice line showed, in order

    void voiceStatusChanged(const std::string& status) override {
        voiceStatuses.push_back(status);
        AppDelegate::voiceStatusChanged(status);
    }
    void didReceiveScriptMessage(const ScriptMessage& message) override {
        scriptMessages.push_back(message);
        AppDelegate::didReceiveScriptMessage(message);
    }

protected:
    bool relocateToApplicationsIfNeeded() override {
        hookCalls.push_back("relocate");
        return relocates || AppDelegate::relocateToApplicationsIfNeeded();
    }
    void setupIMessageAgent(const std::string& pairingCode, const std::string& apiBase) override {
        hookCalls.push_back("setup " + pairingCode + " " + apiBase);
    }
    void disconnectIMessageAgent() override { hookCalls.push_back("disconnect"); }
    void checkForUpdate() override {
        hookCalls.push_back("checkForUpdate");
        if (checksForUpdates) AppDelegate::checkForUpdate();
    }
};

}  // namespace pelko::test
