#include "gtk/PocketSphinxSpeech.h"

#include <glib.h>
#include <pocketsphinx.h>
#include <pthread.h>
#include <sphinxbase/ckd_alloc.h>
#include <sphinxbase/cmn.h>
#include <sphinxbase/err.h>
#include <sphinxbase/feat.h>
#include <sys/stat.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <condition_variable>
#include <cstdarg>
#include <cstdint>
#include <deque>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

namespace pelko::gtk {

namespace {

// The rate the acoustic model was trained at.
constexpr double kModelRate = 16000;
// Buffers at rates no microphone gives are dropped rather than resampled.
constexpr double kLowestRate = 8000;
constexpr double kHighestRate = 192000;

// The product's name is not in the dictionary; with it, the language model
// and grammars can hear it.
constexpr const char* kProductWord = "pelko";
constexpr const char* kProductWordPhones = "P EH L K OW";
constexpr const char* kGrammarSearch = "grammar";
constexpr const char* kLogDomain = "Pelko-Speech";

constexpr const char* kModelNotLoaded = "The speech recognition model could not be loaded.";
constexpr const char* kRecognitionFailed = "Speech recognition failed.";

std::string acousticModel(const SpeechModel& model) { return model.directory + "/en-us"; }
std::string dictionary(const SpeechModel& model) { return model.directory + "/cmudict-en-us.dict"; }
std::string languageModel(const SpeechModel& model) { return model.directory + "/en-us.lm.bin"; }

bool isNonEmptyFile(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0;
}

bool isUsEnglish(const std::string& locale) {
    return g_ascii_strcasecmp(locale.c_str(), "en-US") == 0 || g_ascii_strcasecmp(locale.c_str(), "en_US") == 0;
}

// PocketSphinx logs every step of loading and decoding, to stderr unless
// told otherwise; here it goes to GLib's debug log (G_MESSAGES_DEBUG=Pelko-Speech).
void logToDebug(void* /*data*/, err_lvl_t /*level*/, const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    gchar* text = g_strdup_vprintf(format, arguments);
    va_end(arguments);
    g_log(kLogDomain, G_LOG_LEVEL_DEBUG, "%s", g_strchomp(text));
    g_free(text);
}

std::once_flag logRouted;

// One captured buffer, copied as it came.
struct AudioChunk {
    AudioFormat format;
    std::vector<float> samples;
};

// A request's audio on its way from the audio thread to the worker; guarded by the worker's mutex.
struct RequestState {
    std::deque<AudioChunk> chunks;
    bool ended = false;   // no more audio will come
    bool closed = false;  // its task is over: audio still coming is dropped
    std::atomic<bool> reportsPartialResults{true};
};

struct TaskState {
    std::shared_ptr<RequestState> request;
    SpeechRecognitionResultHandler handler;
    // Held while the handler runs, and by cancelling: once cancel() has
    // returned, the handler is not running and never runs again. Recursive,
    // so that a handler may cancel its own task.
    std::recursive_mutex delivering;
    std::atomic<bool> cancelled{false};
};

// Turns captured buffers into what the decoder takes: 16 kHz, mono, 16-bit.
// Channels are averaged; another rate is resampled by linear interpolation
// across buffer boundaries, without a low-pass filter first. That is only a
// fallback: the Linux capture delivers 16 kHz mono.
class PcmConverter {
public:
    void convert(const AudioChunk& chunk, std::vector<std::int16_t>& out) {
        out.clear();
        const std::size_t channels = chunk.format.channelCount;
        const std::size_t frames = chunk.samples.size() / channels;
        mono_.resize(frames);
        for (std::size_t frame = 0; frame < frames; ++frame) {
            float sum = 0;
            for (std::size_t channel = 0; channel < channels; ++channel)
                sum += chunk.samples[frame * channels + channel];
            mono_[frame] = sum / static_cast<float>(channels);
        }
        if (frames == 0) return;
        if (chunk.format.sampleRate == kModelRate) {
            for (const float sample : mono_) out.push_back(pcm(sample));
            next_ = 0;
        } else {
            // `next_` is where the next output sample falls, in frames from this
            // buffer's first; frame -1 is the previous buffer's last.
            const double step = chunk.format.sampleRate / kModelRate;
            const double last = static_cast<double>(frames - 1);
            for (; next_ < last; next_ += step) {
                const double whole = std::floor(next_);
                const auto index = static_cast<std::ptrdiff_t>(whole);
                const float before = index < 0 ? previous_ : mono_[static_cast<std::size_t>(index)];
                const float after = mono_[static_cast<std::size_t>(index + 1)];
                out.push_back(pcm(before + (after - before) * static_cast<float>(next_ - whole)));
            }
            next_ -= static_cast<double>(frames);
        }
        previous_ = mono_.back();
    }

private:
    static std::int16_t pcm(float sample) {
        if (std::isnan(sample)) return 0;
        return static_cast<std::int16_t>(std::lrint(std::clamp(sample, -1.0f, 1.0f) * 32767.0f));
    }

    std::vector<float> mono_;
    double next_ = 0;
    float previous_ = 0;
};

}  // namespace

struct PocketSphinxSpeech::Worker {
    explicit Worker(SpeechModel speechModel) : model(std::move(speechModel)) {}

    // Called from other threads. Once stopping, an enqueued task never runs.
    void start();
    void stop();
    void enqueue(std::shared_ptr<TaskState> task);
    void cancel(TaskState& task);

    // The worker thread.
    void run();
    void load();
    void recognize(TaskState& task);
    std::string hypothesis();
    void deliver(TaskState& task, const std::optional<SpeechRecognitionResult>& result,
                 const std::optional<SpeechRecognitionError>& error);

    const SpeechModel model;
    std::mutex mutex;
    std::condition_variable changed;
    std::deque<std::shared_ptr<TaskState>> waiting;
    std::atomic<bool> stopping{false};
    std::atomic<bool> loadFailed{false};
    std::thread thread;
    // The worker thread's.
    ps_decoder_t* decoder = nullptr;
    std::vector<mfcc_t> initialCepstralMean;
};

namespace {

using Worker = PocketSphinxSpeech::Worker;

class AudioBufferRequest final : public SpeechAudioBufferRecognitionRequest {
public:
    explicit AudioBufferRequest(std::shared_ptr<Worker> worker) : worker_(std::move(worker)) {}

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
    std::shared_ptr<Worker> worker_;
    std::shared_ptr<RequestState> state_ = std::make_shared<RequestState>();
};

// Dropping the task cancels it: nothing is delivered once it is gone.
class RecognitionTask final : public SpeechRecognitionTask {
public:
    RecognitionTask(std::shared_ptr<Worker> worker, std::shared_ptr<TaskState> state)
        : worker_(std::move(worker)), state_(std::move(state)) {}
    ~RecognitionTask() override { cancel(); }
    RecognitionTask(const RecognitionTask&) = delete;
    RecognitionTask& operator=(const RecognitionTask&) = delete;

    void cancel() override { worker_->cancel(*state_); }

private:
    std::shared_ptr<Worker> worker_;
    std::shared_ptr<TaskState> state_;
};

class Recognizer final : public SpeechRecognizer {
public:
    Recognizer(std::shared_ptr<Worker> worker, bool installed) : worker_(std::move(worker)), installed_(installed) {}
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
    std::shared_ptr<Worker> worker_;
    const bool installed_;
    std::mutex mutex_;
    std::vector<std::weak_ptr<TaskState>> tasks_;
};

}  // namespace

void Worker::start() {
    std::lock_guard lock(mutex);
    if (thread.joinable() || stopping) return;
    thread = std::thread([this] { run(); });
    pthread_setname_np(thread.native_handle(), "pelko-speech");
}

void Worker::stop() {
    {
        std::lock_guard lock(mutex);
        stopping = true;
    }
    changed.notify_one();
    if (thread.joinable()) thread.join();
    // Tasks that never had their turn end without a word.
    std::deque<std::shared_ptr<TaskState>> dropped;
    std::lock_guard lock(mutex);
    dropped.swap(waiting);
}

void Worker::enqueue(std::shared_ptr<TaskState> task) {
    {
        std::lock_guard lock(mutex);
        if (stopping) return;
        waiting.push_back(std::move(task));
    }
    changed.notify_one();
}

void Worker::cancel(TaskState& task) {
    {
        std::lock_guard lock(task.delivering);
        task.cancelled = true;
    }
    // Taken so that a worker about to wait sees the flag or gets the notification.
    { std::lock_guard lock(mutex); }
    changed.notify_one();
}

void Worker::run() {
    bool loaded = false;
    for (;;) {
        std::shared_ptr<TaskState> task;
        {
            std::unique_lock lock(mutex);
            changed.wait(lock, [this] { return stopping || !waiting.empty(); });
            if (stopping) break;
            task = std::move(waiting.front());
            waiting.pop_front();
        }
        // The model is loaded for the first recording, not at launch: it takes
        // tens of megabytes and a quarter of a second that a user who never
        // speaks should not pay. Audio waits in the request meanwhile.
        if (!loaded) {
            load();
            loaded = true;
        }
        recognize(*task);
        std::lock_guard lock(mutex);
        task->request->closed = true;
        task->request->chunks.clear();
    }
    if (decoder) ps_free(decoder);
    decoder = nullptr;
}

void Worker::load() {
    std::call_once(logRouted, [] {
        err_set_logfp(nullptr);  // where the configuration is printed
        err_set_callback(logToDebug, nullptr);
    });
    // A model with files missing is not loaded at all: PocketSphinx ends the
    // process on some of them rather than failing.
    if (!model.isInstalled()) {
        loadFailed = true;
        return;
    }
    const std::string hmm = acousticModel(model), dict = dictionary(model), lm = languageModel(model);
    const char* const end = nullptr;
    cmd_ln_t* config =
        model.grammar.empty()
            ? cmd_ln_init(nullptr, ps_args(), TRUE, "-hmm", hmm.c_str(), "-dict", dict.c_str(), "-lm", lm.c_str(), end)
            : cmd_ln_init(nullptr, ps_args(), TRUE, "-hmm", hmm.c_str(), "-dict", dict.c_str(), end);
    if (config) {
        decoder = ps_init(config);
        cmd_ln_free_r(config);  // the decoder keeps its own reference
    }
    if (decoder) {
        if (char* phones = ps_lookup_word(decoder, kProductWord)) {
            ckd_free(phones);
        } else {
            ps_add_word(decoder, kProductWord, kProductWordPhones, TRUE);
        }
    }
    if (decoder && !model.grammar.empty() &&
        (ps_set_jsgf_file(decoder, kGrammarSearch, model.grammar.c_str()) < 0 ||
         ps_set_search(decoder, kGrammarSearch) < 0)) {
        ps_free(decoder);
        decoder = nullptr;
    }
    if (decoder) {
        feat_t* features = ps_get_feat(decoder);
        initialCepstralMean.resize(static_cast<std::size_t>(feat_cepsize(features)));
        cmn_live_get(features->cmn_struct, initialCepstralMean.data());
    }
    loadFailed = decoder == nullptr;
}

std::string Worker::hypothesis() {
    const char* text = ps_get_hyp(decoder, nullptr);
    return text ? text : "";
}

void Worker::deliver(TaskState& task, const std::optional<SpeechRecognitionResult>& result,
                     const std::optional<SpeechRecognitionError>& error) {
    std::lock_guard lock(task.delivering);
    if (task.cancelled || stopping || !task.handler) return;
    task.handler(result, error);
}

void Worker::recognize(TaskState& task) {
    if (task.cancelled) return;
    if (!decoder) return deliver(task, std::nullopt, SpeechRecognitionError{kModelNotLoaded});
    // Each recording starts from the mean the model came with, not from what
    // earlier recordings left behind: the same speech gives the same words.
    cmn_live_set(ps_get_feat(decoder)->cmn_struct, initialCepstralMean.data());
    if (ps_start_utt(decoder) < 0) return deliver(task, std::nullopt, SpeechRecognitionError{kRecognitionFailed});
    RequestState& request = *task.request;
    PcmConverter converter;
    std::vector<std::int16_t> pcm;
    std::string reported;  // the text of the last partial result
    for (;;) {
        std::deque<AudioChunk> chunks;
        bool ended = false;
        {
            std::unique_lock lock(mutex);
            changed.wait(lock, [&] { return stopping || task.cancelled || !request.chunks.empty() || request.ended; });
            if (stopping || task.cancelled) break;
            chunks.swap(request.chunks);
            ended = request.ended;
        }
        // Buffer by buffer, whatever arrived together: the partial results
        // depend on the audio only, not on how far behind the worker is.
        for (const AudioChunk& chunk : chunks) {
            if (task.cancelled || stopping) break;
            converter.convert(chunk, pcm);
            if (ps_process_raw(decoder, pcm.data(), pcm.size(), FALSE, FALSE) < 0) {
                ps_end_utt(decoder);
                return deliver(task, std::nullopt, SpeechRecognitionError{kRecognitionFailed});
            }
            if (!request.reportsPartialResults) continue;
            if (std::string text = hypothesis(); text != reported) {
                reported = std::move(text);
                deliver(task, SpeechRecognitionResult{reported, false}, std::nullopt);
            }
        }
        if (ended && !task.cancelled && !stopping) {
            if (ps_end_utt(decoder) < 0) return deliver(task, std::nullopt, SpeechRecognitionError{kRecognitionFailed});
            return deliver(task, SpeechRecognitionResult{hypothesis(), true}, std::nullopt);
        }
    }
    // Cancelled: the utterance ends unheard, and the decoder is ready for the next.
    ps_end_utt(decoder);
}

std::string defaultSpeechModelDirectory() { return PELKO_SPEECH_MODEL_DIR; }

bool SpeechModel::isInstalled() const {
    const std::string hmm = acousticModel(*this);
    for (const char* file : {"mdef", "means", "variances", "transition_matrices", "noisedict"})
        if (!isNonEmptyFile(hmm + "/" + file)) return false;
    return (isNonEmptyFile(hmm + "/sendump") || isNonEmptyFile(hmm + "/mixture_weights")) &&
           isNonEmptyFile(dictionary(*this)) && isNonEmptyFile(grammar.empty() ? languageModel(*this) : grammar);
}

PocketSphinxSpeech::PocketSphinxSpeech(SpeechModel model)
    : model_(std::move(model)), worker_(std::make_shared<Worker>(model_)) {}

PocketSphinxSpeech::~PocketSphinxSpeech() { worker_->stop(); }

std::shared_ptr<SpeechRecognizer> PocketSphinxSpeech::recognizerForLocale(const std::string& localeIdentifier) {
    if (!isUsEnglish(localeIdentifier)) return nullptr;
    // Loading takes a moment: it starts now, on the worker, and tasks wait their turn behind it.
    worker_->start();
    return std::make_shared<Recognizer>(worker_, model_.isInstalled());
}

std::shared_ptr<SpeechAudioBufferRecognitionRequest> PocketSphinxSpeech::makeAudioBufferRecognitionRequest() {
    return std::make_shared<AudioBufferRequest>(worker_);
}

}  // namespace pelko::gtk
