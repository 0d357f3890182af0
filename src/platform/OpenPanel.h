#pragma once

#include "platform/WebViewDelegates.h"

namespace pelko {

class Window;

struct OpenPanelOptions {
    bool canChooseFiles = true;
    bool canChooseDirectories = false;
    bool allowsMultipleSelection = false;
    // Aliases and symbolic links give their targets.
    bool resolvesAliases = true;
};

// The platform's file chooser.
class OpenPanels {
public:
    virtual ~OpenPanels() = default;
    // Shows a chooser as a sheet on `window` and returns at once. The
    // completion gets the chosen files (absolute paths) when the user
    // confirms, and none when the chooser is cancelled or closed.
    virtual void beginSheetModalForWindow(Window& window, const OpenPanelOptions& options,
                                          OpenPanelCompletion completion) = 0;
};

}  // namespace pelko
