#pragma once

#include <memory>
#include <string>

#include "gtk/voice/SpeechModel.h"
#include "platform/SpeechRecognizer.h"

namespace pelko::gtk {

class RecognizerWorker;

// Speech recognition on the device with PocketSphinx, for US English.
//
// One worker thread per object is the recognizers' queue, started when the
// first recognizer is asked for: it loads the decoder once, for the first
// task, then runs the tasks one after another and calls their handlers. Audio is handed over under a
// short lock, so the audio thread never waits for decoding.
class SpeechPort final : public Speech {
public:
    explicit SpeechPort(SpeechModel model = {});
    // Stops the worker (waiting for a load under way to end): nothing is delivered afterwards.
    ~SpeechPort() override;
    SpeechPort(const SpeechPort&) = delete;
    SpeechPort& operator=(const SpeechPort&) = delete;

    // For en-US (en_US) only: the model is US English.
    std::shared_ptr<SpeechRecognizer> recognizerForLocale(const std::string& localeIdentifier) override;
    std::shared_ptr<SpeechAudioBufferRecognitionRequest> makeAudioBufferRecognitionRequest() override;

private:
    SpeechModel model_;
    std::shared_ptr<RecognizerWorker> worker_;
};

}  // namespace pelko::gtk
