#pragma once

#include "platform/CoreGuard.h"

#include <atomic>
#include <memory>

#include "platform/SpeechRecognizer.h"

namespace pelko {

// The recognition request that the audio tap feeds. The main thread
// replaces it; the audio thread reads it anew for every buffer. The tap holds
// this slot weakly instead of the controller, so the audio thread never ends
// up owning (and destroying) the controller.
class TapRequest {
public:
    std::shared_ptr<SpeechAudioBufferRecognitionRequest> load() const { return current_.load(); }
    void store(std::shared_ptr<SpeechAudioBufferRecognitionRequest> request) { current_.store(std::move(request)); }

private:
    std::atomic<std::shared_ptr<SpeechAudioBufferRecognitionRequest>> current_;
};

}  // namespace pelko
