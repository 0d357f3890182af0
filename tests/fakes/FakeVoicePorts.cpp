#include "fakes/FakeVoicePorts.h"

namespace pelko::test {

void FakeAudioInputNode::installTapOnBus(int bus, unsigned bufferSize, const AudioFormat& format, AudioTapBlock block) {
    record_->tapInstalled = true;
    record_->tapBus = bus;
    record_->tapBufferSize = bufferSize;
    record_->tapFormat = format;
    record_->tap = std::move(block);
}

void FakeAudioInputNode::removeTapOnBus(int bus) {
    if (bus != record_->tapBus) return;
    record_->tapInstalled = false;
    record_->tap = nullptr;
}

bool FakeAudioEngine::start() {
    if (startSucceeds_) record_->running = true;
    return startSucceeds_;
}

void FakeAudioEngine::stop() {
    record_->running = false;
}

std::unique_ptr<AudioEngine> FakeAudio::makeAudioEngine() {
    bool succeeds = true;
    if (!startOutcomes.empty()) {
        succeeds = startOutcomes.front();
        startOutcomes.pop_front();
    }
    auto record = std::make_shared<FakeEngineRecord>();
    engines.push_back(record);
    return std::make_unique<FakeAudioEngine>(record, inputFormat, succeeds);
}

void FakeAudio::capture(const AudioPCMBuffer& buffer) {
    for (const auto& engine : engines) {
        if (engine->tapInstalled && engine->tap) {
            const AudioTapBlock tap = engine->tap;  // the block may remove itself
            tap(buffer, AudioTime{});
        }
    }
}

bool FakeAudio::anyCapturing() const {
    for (const auto& engine : engines)
        if (engine->capturing()) return true;
    return false;
}

void FakeRecognitionTask::deliver(const std::optional<SpeechRecognitionResult>& result,
                                  const std::optional<SpeechRecognitionError>& error) {
    if (handler) handler(result, error);
}

std::shared_ptr<SpeechRecognitionTask> FakeSpeechRecognizer::recognitionTask(
    std::shared_ptr<SpeechAudioBufferRecognitionRequest> request, SpeechRecognitionResultHandler handler) {
    auto task = std::make_shared<FakeRecognitionTask>();
    task->request = std::move(request);
    task->handler = std::move(handler);
    tasks.push_back(task);
    return task;
}

std::shared_ptr<SpeechRecognizer> FakeSpeech::recognizerForLocale(const std::string& localeIdentifier) {
    localesAsked.push_back(localeIdentifier);
    return recognizer;
}

std::shared_ptr<SpeechAudioBufferRecognitionRequest> FakeSpeech::makeAudioBufferRecognitionRequest() {
    if (!makesRequests) return nullptr;
    auto request = std::make_shared<FakeRecognitionRequest>();
    requests.push_back(request);
    return request;
}

void FakePermissions::requestRecordPermission(std::function<void(bool granted)> completion) {
    ++microphoneRequests;
    pendingMicrophone.push_back(std::move(completion));
}

void FakePermissions::requestSpeechRecognitionAuthorization(
    std::function<void(SpeechRecognizerAuthorizationStatus status)> handler) {
    ++speechRequests;
    pendingSpeech.push_back(std::move(handler));
}

bool FakePermissions::answerMicrophone(bool granted) {
    if (pendingMicrophone.empty()) return false;
    auto completion = std::move(pendingMicrophone.front());
    pendingMicrophone.pop_front();
    completion(granted);
    return true;
}

bool FakePermissions::answerSpeech(SpeechRecognizerAuthorizationStatus status) {
    if (pendingSpeech.empty()) return false;
    auto handler = std::move(pendingSpeech.front());
    pendingSpeech.pop_front();
    handler(status);
    return true;
}

}  // namespace pelko::test
