#pragma once

#include "platform/SpeechRecognizer.h"

namespace pelko::mac {

// The Speech framework: SFSpeechRecognizer and streaming audio-buffer
// requests. Requests take the AVAudioPCMBuffers that the audio capture hands
// over as native buffers.
class SpeechPort : public Speech {
public:
    std::shared_ptr<SpeechRecognizer> recognizerForLocale(const std::string& localeIdentifier) override;
    std::shared_ptr<SpeechAudioBufferRecognitionRequest> makeAudioBufferRecognitionRequest() override;
};

}  // namespace pelko::mac
