#import <Speech/Speech.h>

#include "mac/system/CocoaValues.h"
#include "mac/voice/SpeechPort.h"

namespace pelko::mac {

namespace {

class AudioBufferRequest : public SpeechAudioBufferRecognitionRequest {
public:
    AudioBufferRequest() : request_([[SFSpeechAudioBufferRecognitionRequest alloc] init]) {}
    void setShouldReportPartialResults(bool report) override { request_.shouldReportPartialResults = report; }
    void setRequiresOnDeviceRecognition(bool require) override { request_.requiresOnDeviceRecognition = require; }
    // The audio thread's call. Buffers without a native AVAudioPCMBuffer
    // (none come from this platform's capture) carry nothing it can take.
    void appendAudioPCMBuffer(const AudioPCMBuffer& buffer) override {
        if (!buffer.native) return;
        [request_ appendAudioPCMBuffer:(__bridge AVAudioPCMBuffer*)const_cast<void*>(buffer.native.get())];
    }
    void endAudio() override { [request_ endAudio]; }

    SFSpeechAudioBufferRecognitionRequest* request() const { return request_; }

private:
    SFSpeechAudioBufferRecognitionRequest* request_;
};

class RecognitionTask : public SpeechRecognitionTask {
public:
    explicit RecognitionTask(SFSpeechRecognitionTask* task) : task_(task) {}
    void cancel() override { [task_ cancel]; }

private:
    SFSpeechRecognitionTask* task_;
};

class Recognizer : public SpeechRecognizer {
public:
    explicit Recognizer(SFSpeechRecognizer* recognizer) : recognizer_(recognizer) {}
    bool isAvailable() const override { return [recognizer_ isAvailable]; }
    bool supportsOnDeviceRecognition() const override { return recognizer_.supportsOnDeviceRecognition; }

    std::shared_ptr<SpeechRecognitionTask> recognitionTask(std::shared_ptr<SpeechAudioBufferRecognitionRequest> request,
                                                           SpeechRecognitionResultHandler handler) override {
        auto* audioRequest = dynamic_cast<AudioBufferRequest*>(request.get());
        if (!audioRequest) return nullptr;
        // Runs on the recognizer's queue: only the values are read there.
        SFSpeechRecognitionTask* task = [recognizer_
            recognitionTaskWithRequest:audioRequest->request()
                         resultHandler:^(SFSpeechRecognitionResult* _Nullable result, NSError* _Nullable error) {
                           std::optional<SpeechRecognitionResult> recognized;
                           if (result) {
                               recognized = SpeechRecognitionResult{
                                   fromNSString(result.bestTranscription.formattedString),
                                   static_cast<bool>([result isFinal])};
                           }
                           std::optional<SpeechRecognitionError> failure;
                           if (error) failure = SpeechRecognitionError{fromNSString(error.localizedDescription)};
                           handler(recognized, failure);
                         }];
        return std::make_shared<RecognitionTask>(task);
    }

private:
    SFSpeechRecognizer* recognizer_;
};

}  // namespace

std::shared_ptr<SpeechRecognizer> SpeechPort::recognizerForLocale(const std::string& localeIdentifier) {
    NSLocale* locale = [NSLocale localeWithLocaleIdentifier:toNSString(localeIdentifier)];
    SFSpeechRecognizer* recognizer = [[SFSpeechRecognizer alloc] initWithLocale:locale];
    if (!recognizer) return nullptr;
    return std::make_shared<Recognizer>(recognizer);
}

std::shared_ptr<SpeechAudioBufferRecognitionRequest> SpeechPort::makeAudioBufferRecognitionRequest() {
    return std::make_shared<AudioBufferRequest>();
}

}  // namespace pelko::mac
