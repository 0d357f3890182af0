#pragma once

#include <string>
#include <vector>

#include "platform/Url.h"

namespace pelko {

// The desktop: default browser, file viewer, default applications.
class Workspace {
public:
    virtual ~Workspace() = default;
    // Opens the URL with the user's default application for it; the result is not reported.
    virtual void openURL(const Url& url) = 0;
    // Shows the file viewer with these files (absolute paths) selected.
    virtual void activateFileViewerSelecting(const std::vector<std::string>& paths) = 0;
    // Opens the file (absolute path) with the default application for its type.
    virtual void openFile(const std::string& path) = 0;
};

}  // namespace pelko
