#import <DiskArbitration/DiskArbitration.h>
#import <Foundation/Foundation.h>

#include "mac/system/CocoaValues.h"
#include "mac/system/DiskImagesPort.h"

namespace pelko::mac {

bool DiskImagesPort::isMountedDiskImage(const std::string& mountPath) const {
    // Created, so handed to ARC; the session is only asked, never scheduled.
    id session = CFBridgingRelease(DASessionCreate(nullptr));
    if (!session) return false;
    NSURL* volume = [NSURL fileURLWithPath:toNSString(mountPath)];
    id disk = CFBridgingRelease(
        DADiskCreateFromVolumePath(nullptr, (__bridge DASessionRef)session, (__bridge CFURLRef)volume));
    if (!disk) return false;
    NSDictionary* description = CFBridgingRelease(DADiskCopyDescription((__bridge DADiskRef)disk));
    id model = [description objectForKey:(__bridge NSString*)kDADiskDescriptionDeviceModelKey];
    return [model isEqual:@"Disk Image"];
}

}  // namespace pelko::mac
