#pragma once

#include "platform/OpenPanel.h"

namespace pelko::gtk {

// File choosers as GtkFileChooserNative (GTK 4.8 has no GtkFileDialog):
// the desktop's portal chooser where there is one, GTK's own dialog
// otherwise. Each is modal for the window it is asked for and answers
// once: the chosen files when the user accepts, none when the chooser is
// cancelled or closed. It offers files only; GTK's chooser cannot offer
// files and folders together, and the application asks for files.
class OpenPanelsPort : public OpenPanels {
public:
    void beginSheetModalForWindow(Window& window, const OpenPanelOptions& options,
                                  OpenPanelCompletion completion) override;
};

}  // namespace pelko::gtk
