#import <AppKit/AppKit.h>

#include <memory>

#include "mac/web/OpenPanelsPort.h"
#include "mac/app/WindowPort.h"
#include "mac/system/CocoaValues.h"

namespace pelko::mac {

void OpenPanelsPort::beginSheetModalForWindow(Window& window, const OpenPanelOptions& options,
                                               OpenPanelCompletion completion) {
    auto* port = dynamic_cast<WindowPort*>(&window);
    if (!port) return;

    NSOpenPanel* panel = [NSOpenPanel openPanel];
    panel.canChooseFiles = options.canChooseFiles;
    panel.canChooseDirectories = options.canChooseDirectories;
    panel.allowsMultipleSelection = options.allowsMultipleSelection;
    panel.resolvesAliases = options.resolvesAliases;

    // Blocks copy what they capture and the handler is move-only, so the
    // block shares it. The block also keeps the panel alive until the sheet ends.
    auto shared = std::make_shared<OpenPanelCompletion>(std::move(completion));
    [panel beginSheetModalForWindow:port->nsWindow()
                  completionHandler:^(NSModalResponse result) {
                      if (result != NSModalResponseOK) {
                          (*shared)(std::nullopt);
                          return;
                      }
                      std::vector<std::string> paths;
                      for (NSURL* url in panel.URLs) {
                          if (NSString* path = url.path) paths.push_back(fromNSString(path));
                      }
                      (*shared)(std::move(paths));
                  }];
}

}  // namespace pelko::mac
