#pragma once

#include <memory>
#include <string>

#include "platform/SpeechRecognizer.h"

namespace pelko::gtk {

// Where PocketSphinx's US English model was installed (pocketsphinx-en-us).
std::string defaultSpeechModelDirectory();

// What the recognizer loads: a model folder laid out as pocketsphinx-en-us
// lays it out (en-us/, the acoustic model; en-us.lm.bin; cmudict-en-us.dict),
// and, when given, a JSGF grammar it listens for instead of the language model.
struct SpeechModel {
    std::string directory = defaultSpeechModelDirectory();
    std::string grammar;

    // Whether every file loading needs is there and not empty. Cheap: it reads
    // nothing, so the process can ask before it shows the page.
    bool isInstalled() const;
};

// Speech recognition on the device with PocketSphinx, for US English.
//
// One worker thread per object is the recognizers' queue, started when the
// first recognizer is asked for: it loads the decoder once, for the first
// task, then runs the tasks one after another and calls their handlers. Audio is handed over under a
// short lock, so the audio thread never waits for decoding.
class PocketSphinxSpeech final : public Speech {
public:
    explicit PocketSphinxSpeech(SpeechModel model = {});
    // Stops the worker (waiting for a load under way to end): nothing is delivered afterwards.
    ~PocketSphinxSpeech() override;
    PocketSphinxSpeech(const PocketSphinxSpeech&) = delete;
    PocketSphinxSpeech& operator=(const PocketSphinxSpeech&) = delete;

    // For en-US (en_US) only: the model is US English.
    std::shared_ptr<SpeechRecognizer> recognizerForLocale(const std::string& localeIdentifier) override;
    std::shared_ptr<SpeechAudioBufferRecognitionRequest> makeAudioBufferRecognitionRequest() override;

    struct Worker;

private:
    SpeechModel model_;
    std::shared_ptr<Worker> worker_;
};

}  // namespace pelko::gtk
