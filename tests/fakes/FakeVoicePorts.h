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

class FakeAudioEngine : public AudioEngine, AudioInputNode {
public:
    FakeAudioEngine(std::shared_ptr<FakeEngineRecord> record, AudioFormat format, bool startSucceeds, bool tapSucceeds)
        : record_(std::move(record)), format_(format), startSucceeds_(startSucceeds), tapSucceeds_(tapSucceeds) {}
    ~FakeAudioEngine() override { record_->alive = false; }
    AudioInputNode& inputNode() override { return *this; }
    bool start() override { return record_->running = startSucceeds_; }
    void stop() override { record_->running = false; }
    AudioFormat outputFormatForBus(int /*bus*/) const override { return format_; }
    bool installTapOnBus(int bus, unsigned bufferSize, const AudioFormat& format, AudioTapBlock block) override {
        if (!tapSucceeds_) return false;
        *record_ = FakeEngineRecord{true, record_->running, true, bus, bufferSize, format, std::move(block)};
        return true;
    }
    void removeTapOnBus(int bus) override {
        if (bus != record_->tapBus) return;
        record_->tapInstalled = false;
        record_->tap = nullptr;
    }

private:
    std::shared_ptr<FakeEngineRecord> record_;
    AudioFormat format_;
    bool startSucceeds_;
    bool tapSucceeds_;
};

class FakeAudio : public Audio {
public:
    std::unique_ptr<AudioEngine> makeAudioEngine() override {
        if (!makesEngines) return nullptr;
        const bool succeeds = startOutcomes.empty() || startOutcomes.front();
        if (!startOutcomes.empty()) startOutcomes.pop_front();
        engines.push_back(std::make_shared<FakeEngineRecord>());
        return std::make_unique<FakeAudioEngine>(engines.back(), inputFormat, succeeds, tapsSucceed);
    }
    // Feeds one buffer through every installed tap, as the audio thread would.
    void capture(const AudioPCMBuffer& buffer) {
        for (const auto& engine : engines)
            if (engine->tapInstalled) AudioTapBlock(engine->tap)(buffer, AudioTime{});  // the block may remove itself
    }
    bool anyCapturing() const {
        for (const auto& engine : engines)
            if (engine->capturing()) return true;
        return false;
    }

    std::vector<std::shared_ptr<FakeEngineRecord>> engines;  // every engine made, in order
    bool makesEngines = true;                                // false: there is no audio input at all
    AudioFormat inputFormat{48000, 1};
    std::deque<bool> startOutcomes;  // whether the next engines start; when empty, they do
    bool tapsSucceed = true;         // false: the platform refuses the tap (an exception on macOS)
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
    void deliver(const std::optional<SpeechRecognitionResult>& result, const std::optional<SpeechRecognitionError>& error) {
        if (handler) handler(result, error);
    }
    void partial(const std::string& text) { deliver(SpeechRecognitionResult{text, false}, std::nullopt); }
    void final(const std::string& text) { deliver(SpeechRecognitionResult{text, true}, std::nullopt); }
    void fail() { deliver(std::nullopt, SpeechRecognitionError{"recognition failed"}); }

    SpeechRecognitionResultHandler handler;
    int cancelCalls = 0;
};

class FakeSpeechRecognizer : public SpeechRecognizer {
public:
    bool isAvailable() const override { return available; }
    bool supportsOnDeviceRecognition() const override { return onDevice; }
    std::shared_ptr<SpeechRecognitionTask> recognitionTask(std::shared_ptr<SpeechAudioBufferRecognitionRequest>,
                                                           SpeechRecognitionResultHandler handler) override {
        tasks.push_back(std::make_shared<FakeRecognitionTask>());
        tasks.back()->handler = std::move(handler);
        return tasks.back();
    }

    bool available = true;
    bool onDevice = true;
    std::vector<std::shared_ptr<FakeRecognitionTask>> tasks;
};

class FakeSpeech : public Speech {
public:
    std::shared_ptr<SpeechRecognizer> recognizerForLocale(const std::string& localeIdentifier) override {
        localesAsked.push_back(localeIdentifier);
        return recognizer;
    }
    std::shared_ptr<SpeechAudioBufferRecognitionRequest> makeAudioBufferRecognitionRequest() override {
        if (!makesRequests) return nullptr;
        requests.push_back(std::make_shared<FakeRecognitionRequest>());
        return requests.back();
    }

    // None: the platform has no recognizer for any locale.
    std::shared_ptr<FakeSpeechRecognizer> recognizer = std::make_shared<FakeSpeechRecognizer>();
    std::vector<std::string> localesAsked;
    std::vector<std::shared_ptr<FakeRecognitionRequest>> requests;
    bool makesRequests = true;
};

// Holds every request until the test answers it.
class FakePermissions : public Permissions {
public:
    void requestRecordPermission(std::function<void(bool granted)> completion) override {
        ++microphoneRequests;
        pendingMicrophone.push_back(std::move(completion));
    }
    void requestSpeechRecognitionAuthorization(std::function<void(SpeechRecognizerAuthorizationStatus)> handler) override {
        ++speechRequests;
        pendingSpeech.push_back(std::move(handler));
    }

    // Answer the oldest pending request; false when none is pending.
    bool answerMicrophone(bool granted) { return answer(pendingMicrophone, granted); }
    bool answerSpeech(int status) { return answer(pendingSpeech, static_cast<SpeechRecognizerAuthorizationStatus>(status)); }

    std::deque<std::function<void(bool)>> pendingMicrophone;
    std::deque<std::function<void(SpeechRecognizerAuthorizationStatus)>> pendingSpeech;
    int microphoneRequests = 0;
    int speechRequests = 0;

private:
    template <typename Answer, typename Value>
    static bool answer(std::deque<Answer>& pending, Value value) {
        if (pending.empty()) return false;
        Answer handler = std::move(pending.front());
        pending.pop_front();
        handler(value);
        return true;
    }
};

}  // namespace pelko::test
