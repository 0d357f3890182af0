#pragma once

#include <string>
#include <vector>

#include "platform/Workspace.h"

namespace pelko::test {

// Records the URLs that would have gone to the desktop; nothing else reaches it yet.
class FakeWorkspace : public Workspace {
public:
    void openURL(const Url& url) override { openedURLs.push_back(url.absoluteString); }
    void activateFileViewerSelecting(const std::vector<std::string>& /*paths*/) override {}
    void openFile(const std::string& /*path*/) override {}

    std::vector<std::string> openedURLs;
};

}  // namespace pelko::test
