// The part of the Network framework the backend uses: watching whether the
// system has a usable network path. <Network/Network.h>
#pragma once

#include <dispatch/dispatch.h>

#ifdef __cplusplus
#define NW_EXPORT extern "C"
#else
#define NW_EXPORT extern
#endif
// Under ARC the framework's objects are Objective-C objects, returned +1 by
// the functions that create them.
#define NW_RETURNS_RETAINED __attribute__((__ns_returns_retained__))

NS_ASSUME_NONNULL_BEGIN

// Network/path.h
@protocol OS_nw_path <NSObject>
@end
typedef NSObject<OS_nw_path> *nw_path_t;

typedef enum {
    nw_path_status_invalid = 0,
    nw_path_status_satisfied = 1,
    nw_path_status_unsatisfied = 2,
    nw_path_status_satisfiable = 3,
} nw_path_status_t;

API_AVAILABLE(macos(10.14))
NW_EXPORT nw_path_status_t nw_path_get_status(nw_path_t path);

// Network/path_monitor.h
@protocol OS_nw_path_monitor <NSObject>
@end
typedef NSObject<OS_nw_path_monitor> *nw_path_monitor_t;

typedef void (^nw_path_monitor_update_handler_t)(nw_path_t path);

API_AVAILABLE(macos(10.14))
NW_EXPORT NW_RETURNS_RETAINED nw_path_monitor_t nw_path_monitor_create(void);

API_AVAILABLE(macos(10.14))
NW_EXPORT void nw_path_monitor_set_queue(nw_path_monitor_t monitor, dispatch_queue_t queue);

API_AVAILABLE(macos(10.14))
NW_EXPORT void nw_path_monitor_set_update_handler(nw_path_monitor_t monitor,
                                                  nw_path_monitor_update_handler_t update_handler);

API_AVAILABLE(macos(10.14))
NW_EXPORT void nw_path_monitor_start(nw_path_monitor_t monitor);

API_AVAILABLE(macos(10.14))
NW_EXPORT void nw_path_monitor_cancel(nw_path_monitor_t monitor);

NS_ASSUME_NONNULL_END
