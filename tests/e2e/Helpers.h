#pragma once

#include <string>

namespace pelko::e2e {

// Runs one helper role of the test program (see E2EMain.cpp); returns the
// process's exit status.
int runHelper(const std::string& role);

}  // namespace pelko::e2e
