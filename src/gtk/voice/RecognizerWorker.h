#pragma once

#include <atomic>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include <pocketsphinx.h>

#include "gtk/voice/PcmConverter.h"
#include "gtk/voice/SpeechModel.h"
#include "platform/SpeechRecognizer.h"

namespace pelko::gtk {

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

// The recognizers' queue: one thread that loads the decoder once, for the
// first task, then runs the tasks one after another and calls their handlers.
class RecognizerWorker {
public:
    explicit RecognizerWorker(SpeechModel speechModel) : model(std::move(speechModel)) {}

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

}  // namespace pelko::gtk
