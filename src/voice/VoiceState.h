#pragma once

#include "platform/CoreGuard.h"

namespace pelko {

// What the voice controller is doing.
enum class VoiceState {
    idle,           // nothing in progress
    recording,      // capturing, or finalizing the transcript after a stop
    awaitingReply,  // a message was sent and the reply watcher runs in the page
};

}  // namespace pelko
