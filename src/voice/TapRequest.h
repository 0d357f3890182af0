#pragma once

#include "platform/CoreGuard.h"

#include <memory>
#include <mutex>
#include <utility>

#include "platform/SpeechRecognizer.h"

namespace pelko {

// The recognition request that the audio tap feeds. The main thread
// replaces it; the audio thread reads it anew for every buffer. The tap holds
// this slot weakly instead of the controller, so the audio thread never ends
// up owning (and destroying) the controller. The lock is held only to copy
// or swap the pointer: a request is never released, nor a buffer appended,
// under it, so neither thread waits on the other's work.
class TapRequest {
public:
    std::shared_ptr<SpeechAudioBufferRecognitionRequest> load() const {
        const std::lock_guard<std::mutex> lock(mutex_);
        return current_;
    }

    void store(std::shared_ptr<SpeechAudioBufferRecognitionRequest> request) {
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            current_.swap(request);
        }
        // `request` now holds the one replaced, released here, outside the lock.
    }

private:
    mutable std::mutex mutex_;
    std::shared_ptr<SpeechAudioBufferRecognitionRequest> current_;
};

}  // namespace pelko
