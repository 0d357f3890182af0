#pragma once

#include "platform/CoreGuard.h"

#include <string>

namespace pelko {

// The script run when a recording starts: it cancels the page's speech
// synthesis and pauses the page's <audio> elements, so that the microphone
// does not take down a reply being read aloud. Each step goes on when
// another fails. Always evaluates to true.
const std::string& silencePageScript();

}  // namespace pelko
