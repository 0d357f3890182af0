#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/AudioEngine.h"

namespace pelko {

// One report of a recognition task: the best transcription so far.
struct SpeechRecognitionResult {
    std::string formattedString;  // the best transcription's text
    bool isFinal = false;
};

struct SpeechRecognitionError {
    std::string localizedDescription;
};

// Called on the recognizer's own queue, possibly many times, with a result,
// an error, both or neither.
using SpeechRecognitionResultHandler = std::function<void(const std::optional<SpeechRecognitionResult>& result,
                                                          const std::optional<SpeechRecognitionError>& error)>;

// A streaming request fed with captured audio.
class SpeechAudioBufferRecognitionRequest {
public:
    virtual ~SpeechAudioBufferRecognitionRequest() = default;
    virtual void setShouldReportPartialResults(bool report) = 0;
    virtual void setRequiresOnDeviceRecognition(bool require) = 0;
    // Any thread; the audio thread calls it for every captured buffer.
    virtual void appendAudioPCMBuffer(const AudioPCMBuffer& buffer) = 0;
    // No more audio will come.
    virtual void endAudio() = 0;
};

class SpeechRecognitionTask {
public:
    virtual ~SpeechRecognitionTask() = default;
    virtual void cancel() = 0;
};

// A recognizer for one locale.
class SpeechRecognizer {
public:
    virtual ~SpeechRecognizer() = default;
    virtual bool isAvailable() const = 0;
    virtual bool supportsOnDeviceRecognition() const = 0;
    virtual std::shared_ptr<SpeechRecognitionTask> recognitionTask(
        std::shared_ptr<SpeechAudioBufferRecognitionRequest> request, SpeechRecognitionResultHandler handler) = 0;
};

// Makes recognizers and requests.
class Speech {
public:
    virtual ~Speech() = default;
    // None when the platform has no recognizer for the locale (e.g. "en-US").
    virtual std::shared_ptr<SpeechRecognizer> recognizerForLocale(const std::string& localeIdentifier) = 0;
    virtual std::shared_ptr<SpeechAudioBufferRecognitionRequest> makeAudioBufferRecognitionRequest() = 0;
};

}  // namespace pelko
