#pragma once

#include "platform/AudioEngine.h"
#include "platform/SpeechRecognizer.h"

namespace pelko::gtk {

// This build has no speech recognizer yet: there is none for any locale,
// and the voice features report "Speech recognizer unavailable".
class UnavailableSpeech : public Speech {
public:
    std::shared_ptr<SpeechRecognizer> recognizerForLocale(const std::string& /*localeIdentifier*/) override {
        return nullptr;
    }
    std::shared_ptr<SpeechAudioBufferRecognitionRequest> makeAudioBufferRecognitionRequest() override {
        return nullptr;
    }
};

// Nor does it capture audio yet: no engine can be made.
class UnavailableAudio : public Audio {
public:
    std::unique_ptr<AudioEngine> makeAudioEngine() override { return nullptr; }
};

}  // namespace pelko::gtk
