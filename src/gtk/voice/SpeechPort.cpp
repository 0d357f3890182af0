#include "gtk/voice/SpeechPort.h"

#include <glib.h>

#include <utility>
#include <vector>

#include "gtk/voice/RecognizerWorker.h"

namespace pelko::gtk {

namespace {

// Buffers at rates no microphone gives are dropped rather than resampled.
constexpr double kLowestRate = 8000;
constexpr double kHighestRate = 192000;

bool isUsEnglish(const std::string& locale) {
    return g_ascii_strcasecmp(locale.c_str(), "en-US") == 0 || g_ascii_strcasecmp(locale.c_str(), "en_US") == 0;
}

class AudioBufferRequest final : public SpeechAudioBufferRecognitionRequest {
public:
    explicit AudioBufferRequest(std::shared_ptr<RecognizerWorker> worker) : worker_(std::move(worker)) {}

    void setShouldReportPartialResults(bool report) override { state_->reportsPartialResults = report; }
    // Recognition always happens on the device.
    void setRequiresOnDeviceRecognition(bool /*require*/) override {}

    // The audio thread copies the buffer and hands it over under a short lock; decoding happens on the worker.
    void appendAudioPCMBuffer(const AudioPCMBuffer& buffer) override {
        const double rate = buffer.format.sampleRate;
        if (buffer.frameLength() == 0 || !(rate >= kLowestRate && rate <= kHighestRate)) return;
        AudioChunk chunk{buffer.format, buffer.samples};
        {
            std::lock_guard lock(worker_->mutex);
            if (state_->ended || state_->closed) return;
            state_->chunks.push_back(std::move(chunk));
        }
        worker_->changed.notify_one();
    }

    void endAudio() override {
        {
            std::lock_guard lock(worker_->mutex);
            state_->ended = true;
        }
        worker_->changed.notify_one();
    }

    const std::shared_ptr<RequestState>& state() const { return state_; }

private:
    std::shared_ptr<RecognizerWorker> worker_;
    std::shared_ptr<RequestState> state_ = std::make_shared<RequestState>();
};

// Dropping the task cancels it: nothing is delivered once it is gone.
class RecognitionTask final : public SpeechRecognitionTask {
public:
    RecognitionTask(std::shared_ptr<RecognizerWorker> worker, std::shared_ptr<TaskState> state)
        : worker_(std::move(worker)), state_(std::move(state)) {}
    ~RecognitionTask() override { cancel(); }
    RecognitionTask(const RecognitionTask&) = delete;
    RecognitionTask& operator=(const RecognitionTask&) = delete;

    void cancel() override { worker_->cancel(*state_); }

private:
    std::shared_ptr<RecognizerWorker> worker_;
    std::shared_ptr<TaskState> state_;
};

class Recognizer final : public SpeechRecognizer {
public:
    Recognizer(std::shared_ptr<RecognizerWorker> worker, bool installed) : worker_(std::move(worker)), installed_(installed) {}
    // Nothing is delivered once the recognizer is gone, whoever still holds its tasks.
    ~Recognizer() override {
        std::lock_guard lock(mutex_);
        for (const auto& weak : tasks_)
            if (auto task = weak.lock()) worker_->cancel(*task);
    }
    Recognizer(const Recognizer&) = delete;
    Recognizer& operator=(const Recognizer&) = delete;

    bool isAvailable() const override { return installed_ && !worker_->loadFailed; }
    bool supportsOnDeviceRecognition() const override { return true; }

    std::shared_ptr<SpeechRecognitionTask> recognitionTask(std::shared_ptr<SpeechAudioBufferRecognitionRequest> request,
                                                           SpeechRecognitionResultHandler handler) override {
        auto* audioRequest = dynamic_cast<AudioBufferRequest*>(request.get());
        if (!audioRequest) return nullptr;
        auto state = std::make_shared<TaskState>();
        state->request = audioRequest->state();
        state->handler = std::move(handler);
        {
            std::lock_guard lock(mutex_);
            std::erase_if(tasks_, [](const auto& weak) { return weak.expired(); });
            tasks_.push_back(state);
        }
        worker_->enqueue(state);
        return std::make_shared<RecognitionTask>(worker_, std::move(state));
    }

private:
    std::shared_ptr<RecognizerWorker> worker_;
    const bool installed_;
    std::mutex mutex_;
    std::vector<std::weak_ptr<TaskState>> tasks_;
};

}  // namespace

SpeechPort::SpeechPort(SpeechModel model)
    : model_(std::move(model)), worker_(std::make_shared<RecognizerWorker>(model_)) {}

SpeechPort::~SpeechPort() { worker_->stop(); }

std::shared_ptr<SpeechRecognizer> SpeechPort::recognizerForLocale(const std::string& localeIdentifier) {
    if (!isUsEnglish(localeIdentifier)) return nullptr;
    // Loading takes a moment: it starts now, on the worker, and tasks wait their turn behind it.
    worker_->start();
    return std::make_shared<Recognizer>(worker_, model_.isInstalled());
}

std::shared_ptr<SpeechAudioBufferRecognitionRequest> SpeechPort::makeAudioBufferRecognitionRequest() {
    return std::make_shared<AudioBufferRequest>(worker_);
}

}  // namespace pelko::gtk
