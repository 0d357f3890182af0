#pragma once

namespace pelko::gtk {

// A developer and benchmark option: with PELKO_STARTUP_TRACE set (to
// anything but empty), each start-up milestone is written to stderr once, as
// "pelko-startup <milestone> <seconds>", the seconds read from the
// monotonic clock, so a program that started this one can place each
// milestone on its own clock. Without the variable it writes nothing.
void traceStartup(const char* milestone);

}  // namespace pelko::gtk
