#pragma once

#include "platform/CoreGuard.h"

#include <string>

namespace pelko {

// The script that waits for the page's reply and presses its read-aloud button.
const std::string& replyWatcherScript();

}  // namespace pelko
