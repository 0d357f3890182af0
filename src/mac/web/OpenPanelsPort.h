#pragma once

#include "platform/OpenPanel.h"

namespace pelko::mac {

// NSOpenPanel, run as a sheet on a window port made here. For any other
// window the completion is dropped, which answers that nothing was chosen.
class OpenPanelsPort : public OpenPanels {
public:
    void beginSheetModalForWindow(Window& window, const OpenPanelOptions& options,
                                  OpenPanelCompletion completion) override;
};

}  // namespace pelko::mac
