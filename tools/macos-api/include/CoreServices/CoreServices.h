// The part of CoreServices the backend uses: Launch Services' quarantine
// property keys. <CoreServices/CoreServices.h>
#pragma once

#include <CoreFoundation/CoreFoundation.h>

NS_ASSUME_NONNULL_BEGIN

// LSQuarantine.h: keys and values of a file's quarantine properties
// (NSURLQuarantinePropertiesKey).
CF_EXPORT const CFStringRef kLSQuarantineTypeKey API_AVAILABLE(macos(10.5));
CF_EXPORT const CFStringRef kLSQuarantineDataURLKey API_AVAILABLE(macos(10.5));
CF_EXPORT const CFStringRef kLSQuarantineOriginURLKey API_AVAILABLE(macos(10.5));
CF_EXPORT const CFStringRef kLSQuarantineTypeWebDownload API_AVAILABLE(macos(10.5));

NS_ASSUME_NONNULL_END
