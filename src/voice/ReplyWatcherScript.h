#pragma once

#include "platform/CoreGuard.h"

#include <string>

namespace pelko {

// The script that waits for the page's reply and presses its read-aloud button.
// It marks itself in window.__pelkoVoiceWatcher; setting that flag to false
// (or any value it did not put there) makes it stop at its next tick without
// reporting. Always evaluates to true.
const std::string& replyWatcherScript();

}  // namespace pelko
