// The part of CoreFoundation the backend touches: the untyped CF object
// reference and its release, the URL and error references that the Security
// framework's translocation functions take, and the allocator, string and
// dictionary references of DiskArbitration's. <CoreFoundation/CoreFoundation.h>
#pragma once

// Availability and nullability macros come from the Foundation runtime
// header in this stand-in (the SDK has them in os/availability.h and CFBase.h).
#include <Foundation/NSObjCRuntime.h>

#ifdef __cplusplus
#define CF_EXPORT extern "C"
#else
#define CF_EXPORT extern
#endif
#define CF_RETURNS_RETAINED __attribute__((cf_returns_retained))
#define CF_CONSUMED __attribute__((cf_consumed))
#define CF_BRIDGED_TYPE(T) __attribute__((objc_bridge(T)))

NS_ASSUME_NONNULL_BEGIN

// MacTypes.h, which CFBase.h includes
typedef unsigned char Boolean;

// CFBase.h
typedef const void *CFTypeRef;
typedef const struct CF_BRIDGED_TYPE(id) __CFAllocator *CFAllocatorRef;
// Toll-free bridged with NSString.
typedef const struct CF_BRIDGED_TYPE(NSString) __CFString *CFStringRef;

CF_EXPORT void CFRelease(CFTypeRef cf);

// CFString.h: toll-free bridged with NSString
typedef const struct CF_BRIDGED_TYPE(NSString) __CFString *CFStringRef;

// CFRunLoop.h
typedef struct CF_BRIDGED_TYPE(id) __CFRunLoop *CFRunLoopRef;
typedef CFStringRef CFRunLoopMode;
// Everything added in this pseudo-mode runs in each of the common modes: the
// default one, and AppKit's while a menu is tracked or a modal panel runs.
CF_EXPORT const CFRunLoopMode kCFRunLoopCommonModes;
CF_EXPORT CFRunLoopRef CFRunLoopGetMain(void) API_AVAILABLE(macos(10.5));
// Thread-safe; the block runs on the run loop's thread when it cycles in one
// of the modes. The run loop is not woken by this.
CF_EXPORT void CFRunLoopPerformBlock(CFRunLoopRef rl, CFTypeRef mode, void (^block)(void)) API_AVAILABLE(macos(10.6));
CF_EXPORT void CFRunLoopWakeUp(CFRunLoopRef rl);

// CFURL.h: toll-free bridged with NSURL
typedef const struct CF_BRIDGED_TYPE(NSURL) __CFURL *CFURLRef;

// CFDictionary.h: toll-free bridged with NSDictionary
typedef const struct CF_BRIDGED_TYPE(NSDictionary) __CFDictionary *CFDictionaryRef;

// CFError.h: toll-free bridged with NSError
typedef struct CF_BRIDGED_TYPE(NSError) __CFError *CFErrorRef;

NS_ASSUME_NONNULL_END
