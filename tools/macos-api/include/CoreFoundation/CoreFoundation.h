// The part of CoreFoundation the backend touches: the untyped CF object
// reference and its release. <CoreFoundation/CoreFoundation.h>
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

NS_ASSUME_NONNULL_BEGIN

// CFBase.h
typedef const void *CFTypeRef;

CF_EXPORT void CFRelease(CFTypeRef cf);

NS_ASSUME_NONNULL_END
