#import <AppKit/AppKit.h>

#include "mac/system/CocoaValues.h"
#include "mac/system/WorkspacePort.h"

namespace pelko::mac {

void WorkspacePort::openURL(const Url& url) {
    if (NSURL* nsURL = nsURLFromUrl(url)) [[NSWorkspace sharedWorkspace] openURL:nsURL];
}

void WorkspacePort::activateFileViewerSelecting(const std::vector<std::string>& paths) {
    NSMutableArray<NSURL*>* urls = [NSMutableArray arrayWithCapacity:paths.size()];
    for (const std::string& path : paths) {
        if (NSString* text = stringFromUTF8(path)) [urls addObject:[NSURL fileURLWithPath:text]];
    }
    [[NSWorkspace sharedWorkspace] activateFileViewerSelectingURLs:urls];
}

void WorkspacePort::openFile(const std::string& path) {
    if (NSString* text = stringFromUTF8(path)) [[NSWorkspace sharedWorkspace] openURL:[NSURL fileURLWithPath:text]];
}

}  // namespace pelko::mac
