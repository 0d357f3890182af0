#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/AudioEngine.h"
#include "platform/Permissions.h"
#include "platform/SpeechRecognizer.h"

namespace pelko::test {

// What became of one engine; outlives the engine itself, so that a test can
// see an engine that was dropped while still running.
struct FakeEngineRecord {
    bool alive = true;
    bool running = false;
    bool tapInstalled = false;
    int tapBus = -1;
    unsigned tapBufferSize = 0;
    AudioFormat tapFormat;
    AudioTapBlock tap;
    // Whether the microphone is still in use, alive or not.
    bool capturing() const { return running || tapInstalled; }
};

class FakeAudioInputNode : public AudioInputNode {
public:
    FakeAudioInputNode(std::shared_ptr<FakeEngineRecord> record, AudioFormat format)
        : record_(std::move(record)), format_(format) {}
    AudioFormat outputFormatForBus(int /*bus*/) const override { return format_; }
    void installTapOnBus(int bus, unsigned bufferSize, const AudioFormat& format, AudioTapBlock block) override;
    void removeTapOnBus(int bus) override;

private:
    std::shared_ptr<FakeEngineRecord> record_;
    AudioFormat format_;
};

class FakeAudioEngine : public AudioEngine {
public:
    FakeAudioEngine(std::shared_ptr<FakeEngineRecord> record, AudioFormat format, bool startSucceeds)
        : record_(record), input_(record, format), startSucceeds_(startSucceeds) {}
    ~FakeAudioEngine() override { record_->alive = false; }
    AudioInputNode& inputNode() override { return input_; }
    bool start() override;
    void stop() override;

private:
    std::shared_ptr<FakeEngineRecord> record_;
    FakeAudioInputNode input_;
    bool startSucceeds_;
};

class FakeAudio : public Audio {
public:
    std::unique_ptr<AudioEngine> makeAudioEngine() override;
    // Every engine made, in order.
    std::vector<std::shared_ptr<FakeEngineRecord>> engines;
    AudioFormat inputFormat{48000, 1};
    // Whether the next engines start; when empty, they do.
    std::deque<bool> startOutcomes;
    // Feeds one buffer through every installed tap, as the audio thread would.
    void capture(const AudioPCMBuffer& buffer);
    bool anyCapturing() const;
};

class FakeRecognitionRequest : public SpeechAudioBufferRecognitionRequest {
public:
    void setShouldReportPartialResults(bool report) override { partialResults = report; }
    void setRequiresOnDeviceRecognition(bool require) override { requiresOnDevice = require; }
    void appendAudioPCMBuffer(const AudioPCMBuffer& buffer) override { appendedFrames += buffer.frameLength(); }
    void endAudio() override { ++endAudioCalls; }

    std::optional<bool> partialResults;
    std::optional<bool> requiresOnDevice;
    std::size_t appendedFrames = 0;
    int endAudioCalls = 0;
};

class FakeRecognitionTask : public SpeechRecognitionTask {
public:
    void cancel() override { ++cancelCalls; }
    // Calls the result handler, as the recognizer's queue would.
    void deliver(const std::optional<SpeechRecognitionResult>& result, const std::optional<SpeechRecognitionError>& error);
    void partial(const std::string& text) { deliver(SpeechRecognitionResult{text, false}, std::nullopt); }
    void final(const std::string& text) { deliver(SpeechRecognitionResult{text, true}, std::nullopt); }
    void fail() { deliver(std::nullopt, SpeechRecognitionError{"recognition failed"}); }

    std::shared_ptr<SpeechAudioBufferRecognitionRequest> request;
    SpeechRecognitionResultHandler handler;
    int cancelCalls = 0;
};

class FakeSpeechRecognizer : public SpeechRecognizer {
public:
    bool isAvailable() const override { return available; }
    bool supportsOnDeviceRecognition() const override { return onDevice; }
    std::shared_ptr<SpeechRecognitionTask> recognitionTask(std::shared_ptr<SpeechAudioBufferRecognitionRequest> request,
                                                           SpeechRecognitionResultHandler handler) override;

    bool available = true;
    bool onDevice = true;
    std::vector<std::shared_ptr<FakeRecognitionTask>> tasks;
};

class FakeSpeech : public Speech {
public:
    std::shared_ptr<SpeechRecognizer> recognizerForLocale(const std::string& localeIdentifier) override;
    std::shared_ptr<SpeechAudioBufferRecognitionRequest> makeAudioBufferRecognitionRequest() override;

    // None: the platform has no recognizer for any locale.
    std::shared_ptr<FakeSpeechRecognizer> recognizer = std::make_shared<FakeSpeechRecognizer>();
    std::vector<std::string> localesAsked;
    std::vector<std::shared_ptr<FakeRecognitionRequest>> requests;
    bool makesRequests = true;
};

// Holds every request until the test answers it.
class FakePermissions : public Permissions {
public:
    void requestRecordPermission(std::function<void(bool granted)> completion) override;
    void requestSpeechRecognitionAuthorization(
        std::function<void(SpeechRecognizerAuthorizationStatus status)> handler) override;

    // Answers the oldest pending request; false when none is pending.
    bool answerMicrophone(bool granted);
    bool answerSpeech(SpeechRecognizerAuthorizationStatus status);
    bool answerSpeech(int status) { return answerSpeech(static_cast<SpeechRecognizerAuthorizationStatus>(status)); }

    std::deque<std::function<void(bool)>> pendingMicrophone;
    std::deque<std::function<void(SpeechRecognizerAuthorizationStatus)>> pendingSpeech;
    int microphoneRequests = 0;
    int speechRequests = 0;
};

}  // namespace pelko::test
