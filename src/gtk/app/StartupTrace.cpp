#include "gtk/app/StartupTrace.h"

#include <glib.h>

#include <set>
#include <string>

namespace pelko::gtk {

void traceStartup(const char* milestone) {
    static const bool enabled = [] {
        const char* value = g_getenv("PELKO_STARTUP_TRACE");
        return value && *value;
    }();
    if (!enabled) return;
    static std::set<std::string> written;
    if (!written.insert(milestone).second) return;
    // CLOCK_MONOTONIC, in microseconds.
    const gint64 now = g_get_monotonic_time();
    g_printerr("pelko-startup %s %lld.%06lld\n", milestone, static_cast<long long>(now / 1000000),
               static_cast<long long>(now % 1000000));
}

}  // namespace pelko::gtk
