// Foundation's basic types and annotation macros. <Foundation/NSObjCRuntime.h>,
// <os/availability.h>, <CoreGraphics/CGBase.h>
#pragma once

#include <limits.h>
#include <objc/NSObject.h>

typedef long NSInteger;
typedef unsigned long NSUInteger;
typedef double CGFloat;
#define NSUIntegerMax ULONG_MAX

#define NS_ASSUME_NONNULL_BEGIN _Pragma("clang assume_nonnull begin")
#define NS_ASSUME_NONNULL_END _Pragma("clang assume_nonnull end")
#define NS_ENUM(_type, _name) enum _name : _type _name; enum _name : _type
// In C++ an options type is its integer type, so that flags combine with |.
#define NS_OPTIONS(_type, _name) _type _name; enum : _type
#define NS_TYPED_ENUM
#define NS_TYPED_EXTENSIBLE_ENUM
#define NS_DESIGNATED_INITIALIZER __attribute__((objc_designated_initializer))
#define NS_UNAVAILABLE __attribute__((unavailable))
#define NS_NOESCAPE __attribute__((noescape))
#define NS_SWIFT_UI_ACTOR
#define NS_SWIFT_NAME(...)
#define NS_REFINED_FOR_SWIFT
#define NS_INLINE static __inline__ __attribute__((always_inline))
#define NS_RETURNS_INNER_POINTER __attribute__((objc_returns_inner_pointer))

// Availability, as os/availability.h spells it: clang's availability
// attribute with the macOS versions of Apple's documentation. Compiled for
// an Apple target, a call to an API newer than the deployment target is
// flagged unless it is guarded by @available. Only the macos(...) platform
// is declared here: API_AVAILABLE(macos(10.10)),
// API_DEPRECATED("message", macos(10.0, 14.0)), API_UNAVAILABLE(macos).
#define API_TO_BE_DEPRECATED 100000
#define PELKO_AVAILABLE_macos(introduced_) macos, introduced = introduced_
#define PELKO_DEPRECATED_macos(introduced_, deprecated_) macos, introduced = introduced_, deprecated = deprecated_
#define PELKO_UNAVAILABLE_macos macos, unavailable
#define API_AVAILABLE(platform) __attribute__((availability(PELKO_AVAILABLE_##platform)))
#define API_DEPRECATED(message_, platform) __attribute__((availability(PELKO_DEPRECATED_##platform, message = message_)))
#define API_DEPRECATED_WITH_REPLACEMENT(replacement_, platform) \
    __attribute__((availability(PELKO_DEPRECATED_##platform, replacement = replacement_)))
#define API_UNAVAILABLE(platform) __attribute__((availability(PELKO_UNAVAILABLE_##platform)))

#define FOUNDATION_EXPORT extern "C"

NS_ASSUME_NONNULL_BEGIN
// NSObjCRuntime.h
FOUNDATION_EXPORT SEL NSSelectorFromString(NSString *aSelectorName);
NS_ASSUME_NONNULL_END

// The delegate protocols' optional methods that the backend implements are
// declared under this instead of @optional: required here, so that a
// misspelt implementation, which would compile and never be called, fails
// the check. The protocols list no other optional method.
#define PELKO_IMPLEMENTED_OPTIONAL @required
