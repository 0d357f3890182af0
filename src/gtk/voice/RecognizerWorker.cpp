#include "gtk/voice/RecognizerWorker.h"

#include <glib.h>
#include <pthread.h>
#include <sphinxbase/ckd_alloc.h>
#include <sphinxbase/cmn.h>
#include <sphinxbase/err.h>
#include <sphinxbase/feat.h>

#include <cstdarg>
#include <cstdint>
#include <utility>

namespace pelko::gtk {

namespace {

// The product's name is not in the dictionary; with it, the language model
// and grammars can hear it.
constexpr const char* kProductWord = "pelko";
constexpr const char* kProductWordPhones = "P EH L K OW";
constexpr const char* kGrammarSearch = "grammar";
constexpr const char* kLogDomain = "Pelko-Speech";

constexpr const char* kModelNotLoaded = "The speech recognition model could not be loaded.";
constexpr const char* kRecognitionFailed = "Speech recognition failed.";

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

}  // namespace

void RecognizerWorker::start() {
    std::lock_guard lock(mutex);
    if (thread.joinable() || stopping) return;
    thread = std::thread([this] { run(); });
    pthread_setname_np(thread.native_handle(), "pelko-speech");
}

void RecognizerWorker::stop() {
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

void RecognizerWorker::enqueue(std::shared_ptr<TaskState> task) {
    {
        std::lock_guard lock(mutex);
        if (stopping) return;
        waiting.push_back(std::move(task));
    }
    changed.notify_one();
}

void RecognizerWorker::cancel(TaskState& task) {
    {
        std::lock_guard lock(task.delivering);
        task.cancelled = true;
    }
    // Taken so that a worker about to wait sees the flag or gets the notification.
    { std::lock_guard lock(mutex); }
    changed.notify_one();
}

void RecognizerWorker::run() {
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

void RecognizerWorker::load() {
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
    const std::string hmm = model.acousticModel(), dict = model.dictionary(), lm = model.languageModel();
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

std::string RecognizerWorker::hypothesis() {
    const char* text = ps_get_hyp(decoder, nullptr);
    return text ? text : "";
}

void RecognizerWorker::deliver(TaskState& task, const std::optional<SpeechRecognitionResult>& result,
                     const std::optional<SpeechRecognitionError>& error) {
    std::lock_guard lock(task.delivering);
    if (task.cancelled || stopping || !task.handler) return;
    task.handler(result, error);
}

void RecognizerWorker::recognize(TaskState& task) {
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

}  // namespace pelko::gtk
