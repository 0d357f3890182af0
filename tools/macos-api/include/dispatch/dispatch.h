// Grand Central Dispatch, as far as the backend uses it. <dispatch/dispatch.h>
#pragma once

#include <stdint.h>

// Availability macros; os/availability.h in the SDK.
#include <Foundation/NSObjCRuntime.h>

#ifdef __cplusplus
#define DISPATCH_EXPORT extern "C"
#else
#define DISPATCH_EXPORT extern
#endif
#define DISPATCH_ASSUME_NONNULL_BEGIN _Pragma("clang assume_nonnull begin")
#define DISPATCH_ASSUME_NONNULL_END _Pragma("clang assume_nonnull end")

DISPATCH_ASSUME_NONNULL_BEGIN

// os/object.h, dispatch/object.h
#define OS_OBJECT_USE_OBJC 1

// With OS_OBJECT_USE_OBJC (always on under ARC) every dispatch object is an
// Objective-C object: a protocol per dispatch type, and the _t typedef is
// NSObject<protocol> *, so ARC retains and releases queues like any object.
@protocol OS_dispatch_object <NSObject>
@end
typedef NSObject<OS_dispatch_object> *dispatch_object_t;

typedef void (^dispatch_block_t)(void);

// dispatch/time.h
#define NSEC_PER_MSEC 1000000ull

typedef uint64_t dispatch_time_t;

#define DISPATCH_TIME_NOW (0ull)
#define DISPATCH_TIME_FOREVER (~0ull)

API_AVAILABLE(macos(10.6))
DISPATCH_EXPORT dispatch_time_t dispatch_time(dispatch_time_t when, int64_t delta);

// dispatch/queue.h
@protocol OS_dispatch_queue <OS_dispatch_object>
@end
typedef NSObject<OS_dispatch_queue> *dispatch_queue_t;

@protocol OS_dispatch_queue_serial <OS_dispatch_queue>
@end
typedef NSObject<OS_dispatch_queue_serial> *dispatch_queue_serial_t;

@protocol OS_dispatch_queue_main <OS_dispatch_queue_serial>
@end
typedef NSObject<OS_dispatch_queue_main> *dispatch_queue_main_t;

// An inline function reading a global in the SDK; an extern function is
// equivalent to callers.
API_AVAILABLE(macos(10.6))
DISPATCH_EXPORT dispatch_queue_main_t dispatch_get_main_queue(void);

API_AVAILABLE(macos(10.6))
DISPATCH_EXPORT void dispatch_async(dispatch_queue_t queue, dispatch_block_t block);

API_AVAILABLE(macos(10.6))
DISPATCH_EXPORT void dispatch_after(dispatch_time_t when, dispatch_queue_t queue,
                                    dispatch_block_t block);

// dispatch/semaphore.h
@protocol OS_dispatch_semaphore <OS_dispatch_object>
@end
typedef NSObject<OS_dispatch_semaphore> *dispatch_semaphore_t;

API_AVAILABLE(macos(10.6))
DISPATCH_EXPORT dispatch_semaphore_t dispatch_semaphore_create(intptr_t value);

API_AVAILABLE(macos(10.6))
DISPATCH_EXPORT intptr_t dispatch_semaphore_wait(dispatch_semaphore_t dsema, dispatch_time_t timeout);

API_AVAILABLE(macos(10.6))
DISPATCH_EXPORT intptr_t dispatch_semaphore_signal(dispatch_semaphore_t dsema);

DISPATCH_ASSUME_NONNULL_END
