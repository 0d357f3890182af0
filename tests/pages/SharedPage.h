#pragma once

#include "PageHarness.h"

namespace pelko::pagetest {

// One web view for the whole run (starting a web process per test would
// dominate the suite's time); each test loads its own fixture page, which
// resets every page global and timer.
PageHarness& sharedPage();

}  // namespace pelko::pagetest
