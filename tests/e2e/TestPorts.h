#pragma once

#include <deque>
#include <string>
#include <vector>

#include "platform/Alerts.h"
#include "platform/Workspace.h"

namespace pelko::e2e {

// Alerts answered by the test instead of a person.
class ScriptedAlerts : public Alerts {
public:
    int runModal(const AlertSpec& alert) override {
        shown.push_back(alert);
        if (answers.empty()) return kAlertFirstButtonReturn;
        const int answer = answers.front();
        answers.pop_front();
        return answer;
    }
    std::vector<AlertSpec> shown;
    std::deque<int> answers;
};

// Records what would have gone to the desktop (browser, file manager, default apps).
class RecordingWorkspace : public Workspace {
public:
    void openURL(const Url& url) override { openedURLs.push_back(url.absoluteString); }
    void activateFileViewerSelecting(const std::vector<std::string>& paths) override { revealed.push_back(paths); }
    void openFile(const std::string& path) override { openedFiles.push_back(path); }

    std::vector<std::string> openedURLs;
    std::vector<std::vector<std::string>> revealed;
    std::vector<std::string> openedFiles;
};

}  // namespace pelko::e2e
