#pragma once

#include "platform/Workspace.h"

namespace pelko::mac {

// The shared NSWorkspace.
class WorkspacePort : public Workspace {
public:
    void openURL(const Url& url) override;
    void activateFileViewerSelecting(const std::vector<std::string>& paths) override;
    void openFile(const std::string& path) override;
};

}  // namespace pelko::mac
