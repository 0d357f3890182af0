#pragma once

#include <string>

#include "platform/Workspace.h"

namespace pelko::gtk {

// The desktop's default applications and its file manager.
class WorkspacePort : public Workspace {
public:
    void openURL(const Url& url) override;
    // Asks the file manager (org.freedesktop.FileManager1 ShowItems) to
    // show the files selected; without one, opens the first file's folder.
    void activateFileViewerSelecting(const std::vector<std::string>& paths) override;
    // Opens with the default application; which files may be opened is the core's decision.
    void openFile(const std::string& path) override;
};

}  // namespace pelko::gtk
