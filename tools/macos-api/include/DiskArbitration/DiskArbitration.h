// The part of DiskArbitration the backend uses: the disk object of a mounted
// volume and its description. <DiskArbitration/DiskArbitration.h>
#pragma once

#include <CoreFoundation/CoreFoundation.h>

NS_ASSUME_NONNULL_BEGIN

// DASession.h
typedef struct CF_BRIDGED_TYPE(id) __DASession *DASessionRef;

CF_EXPORT CF_RETURNS_RETAINED DASessionRef _Nullable DASessionCreate(CFAllocatorRef _Nullable allocator)
    API_AVAILABLE(macos(10.4));

// DADisk.h
CF_EXPORT const CFStringRef kDADiskDescriptionDeviceModelKey API_AVAILABLE(macos(10.4));

typedef struct CF_BRIDGED_TYPE(id) __DADisk *DADiskRef;

// `path` is the volume's mount point.
CF_EXPORT CF_RETURNS_RETAINED DADiskRef _Nullable DADiskCreateFromVolumePath(CFAllocatorRef _Nullable allocator,
                                                                               DASessionRef session, CFURLRef path)
    API_AVAILABLE(macos(10.7));

CF_EXPORT CF_RETURNS_RETAINED CFDictionaryRef _Nullable DADiskCopyDescription(DADiskRef disk)
    API_AVAILABLE(macos(10.4));

NS_ASSUME_NONNULL_END
