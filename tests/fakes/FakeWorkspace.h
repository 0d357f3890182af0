#pragma once

#include <string>
#include <vector>

#include "platform/Workspace.h"

namespace pelko::test {

// Records what would have gone to the desktop.
class FakeWorkspace : public Workspace {
public:
    void openURL(const Url& url) override { openedURLs.push_back(url.absoluteString); }
    void activateFileViewerSelecting(const std::vector<std::string>& paths) override { revealed.push_back(paths); }
    void openFile(const std::string& path) override { openedFiles.push_back(path); }

    std::vector<std::string> openedURLs;
    std::vector<std::vector<std::string>> revealed;
    std::vector<std::string> openedFiles;
};

}  // namespace pelko::test
