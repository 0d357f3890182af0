#pragma once

#include <string>

#include "platform/Workspace.h"

namespace pelko::gtk {

// True when handing the file to its default application could run code:
// executables, scripts, launchers (.desktop), installers, or anything with
// an execute permission bit. Such files are only ever revealed.
bool fileMayRunCode(const std::string& path);

// The desktop's default applications and its file manager.
class DesktopWorkspace : public Workspace {
public:
    void openURL(const Url& url) override;
    // Asks the file manager (org.freedesktop.FileManager1 ShowItems) to
    // show the files selected; without one, opens the first file's folder.
    void activateFileViewerSelecting(const std::vector<std::string>& paths) override;
    // Opens with the default application, except files that may run code.
    void openFile(const std::string& path) override;
};

}  // namespace pelko::gtk
