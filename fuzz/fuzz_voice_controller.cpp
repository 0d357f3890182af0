// Drives the voice controller with sequences of everything that can reach it
// (commands, page events, recognizer reports, permission answers, timers,
// script completions, the web view going away), each step chosen by the
// input, and checks after every step what must always hold. At the end the
// application lets go of the controller with everything still in flight.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "FuzzCheck.h"
#include "unit/VoiceHarness.h"

using namespace pelko;
using namespace pelko::test;
using nlohmann::json;

namespace {

struct Utterance {
    std::string raw;      // as the recognizer reports it
    std::string trimmed;  // as it is sent or inserted
};

const std::vector<Utterance> kUtterances{
    {"hello", "hello"},
    {"  send this  ", "send this"},
    {"line one\nline two\n", "line one\nline two"},
    {"", ""},
    {"   ", ""},
    {"\n\t", ""},
    {"it's \"quoted\" \\ ok", "it's \"quoted\" \\ ok"},
    {"caf\u00E9 \u2028 x\u2029", "caf\u00E9 \u2028 x"},
};

const std::set<std::string> kFixedStatuses{
    text::kReady,      text::kUnavailable,      text::kMicFailed,       text::kListeningStarted,
    text::kListening,  text::kTranscribing,     text::kCancelled,       text::kNoSpeech,
    text::kSentRepliesOff, text::kWaiting,      text::kComposer,        text::kSpeaking,
    text::kTimeout,    text::kReplyReady,       text::kMicNotAuthorized, text::kSpeechNotAuthorized,
};

const std::vector<json> kBridgeEvents{{{"type", "voice"}, {"event", "replyStarted"}},
                                      {{"type", "voice"}, {"event", "replyTimeout"}, {"phase", "arm"}},
                                      {{"type", "voice"}, {"event", "replyFailed"}, {"reason", "no-read-aloud"}},
                                      {{"type", "voice"}, {"event", "replystarted"}},
                                      {{"type", "voice"}},
                                      {{"type", "voice"}, {"event", 1}},
                                      json::array({"replyStarted"})};

// Notes, for every script, how many recordings had started when it was evaluated.
class TaggedWebView : public FakeWebView {
public:
    explicit TaggedWebView(const FakeSpeechRecognizer& recognizer) : recognizer_(recognizer) {}
    void evaluateJavaScript(const std::string& script, ScriptCompletion completion) override {
        recordingsAtEvaluation.push_back(recognizer_.tasks.size());
        FakeWebView::evaluateJavaScript(script, std::move(completion));
    }
    std::vector<std::size_t> recordingsAtEvaluation;

private:
    const FakeSpeechRecognizer& recognizer_;
};

class VoiceModel {
public:
    explicit VoiceModel(FuzzedDataProvider& input) : input_(input) {
        auto view = std::make_shared<TaggedWebView>(*h_.platform.speech.recognizer);
        taggedView_ = view.get();
        h_.webView = view;
        h_.makeController();
        // Notes, for every status, how many recordings had started when it was set.
        h_.voice->onStatusChange = [this](const std::string& status) {
            statuses_.push_back({status, h_.platform.speech.recognizer->tasks.size()});
        };
    }

    void run() {
        for (step_ = 0; input_.remaining_bytes() > 0; ++step_) {
            act();
            check();
        }
        releaseAndDrain();
    }

private:
    FuzzedDataProvider& input_;
    VoiceHarness h_;
    int step_ = 0;
    std::deque<std::string> trace_;

    // Bookkeeping for the checks.
    std::size_t tasksSeen_ = 0;
    bool stoppedSinceStart_ = false;
    std::size_t statusesChecked_ = 0;
    std::size_t scriptsChecked_ = 0;
    std::string lastVoiceEvent_;
    std::map<const FakeRecognitionTask*, std::set<std::string>> heardRaw_;  // reported to each task
    std::map<const FakeRecognitionTask*, int> handedOver_;                 // scripts sent for each task's recording
    TaggedWebView* taggedView_ = nullptr;
    std::vector<std::pair<std::string, std::size_t>> statuses_;

    // A broken invariant stops the run with what it was about and the steps
    // that led to it. Checked many times a step: nothing is built unless it breaks.
    void require(bool holds, const char* invariant, const std::string* about = nullptr) {
        if (holds) return;
        std::string trace = about ? fuzz::quoted(*about) + "\n" : "";
        trace += "after step " + std::to_string(step_) + ", the last steps:\n";
        for (const auto& line : trace_) trace += "  " + line + "\n";
        fuzz::fail(invariant, trace);
    }

    // The recording that was current when `recordings` had started; none before the first.
    const FakeRecognitionTask* recordingAt(std::size_t recordings) const {
        return recordings ? h_.platform.speech.recognizer->tasks[recordings - 1].get() : nullptr;
    }
    bool heardAs(const FakeRecognitionTask* task, const std::string& trimmed) {
        if (!task) return false;
        const auto& heard = heardRaw_[task];
        return std::any_of(kUtterances.begin(), kUtterances.end(),
                           [&](const Utterance& u) { return u.trimmed == trimmed && heard.count(u.raw); });
    }

    std::size_t pick(std::size_t n) { return input_.ConsumeIntegralInRange<std::size_t>(0, n - 1); }
    bool chance(int percent) { return static_cast<int>(pick(100)) < percent; }
    template <typename T>
    const T& oneOf(const std::vector<T>& choices) { return choices[pick(choices.size())]; }
    void note(const std::string& what) {
        // The end of the run is what explains a failure.
        trace_.push_back(std::to_string(step_) + ": " + what);
        if (trace_.size() > 100) trace_.pop_front();
    }

    FakeRecognitionTask* someTask() {
        auto& tasks = h_.platform.speech.recognizer->tasks;
        if (tasks.empty()) return nullptr;
        // Mostly the running recording's task; sometimes one that an earlier finish cancelled.
        if (chance(80)) return tasks.back().get();
        return tasks[pick(tasks.size())].get();
    }

    void act() {
        const std::size_t roll = pick(100);
        if (roll < 9) {
            note("pushToTalk");
            h_.voice->togglePushToTalk();
            afterToggle();
        } else if (roll < 14) {
            note("dictate");
            h_.dictate();
            afterToggle();
        } else if (roll < 24) {
            const bool granted = chance(90);
            if (h_.platform.permissions.answerMicrophone(granted)) {
                note(std::string("microphone ") + (granted ? "granted" : "refused"));
                if (chance(70)) h_.run();  // usually handled at once, sometimes after other things
            }
        } else if (roll < 34) {
            const int status = chance(85) ? 3 : oneOf(std::vector<int>{0, 1, 2, 9});
            if (h_.platform.permissions.answerSpeech(status)) {
                note("speech " + std::to_string(status));
                if (chance(70)) h_.run();
            }
        } else if (roll < 56) {
            recognizerReport();
        } else if (roll < 66) {
            const int ms = oneOf(std::vector<int>{0, 100, 1000, 2499, 2500, 3000, 6000, 7000});
            note("advance " + std::to_string(ms));
            h_.advance(ms);
        } else if (roll < 71) {
            note("run");
            h_.run();
        } else if (roll < 80) {
            completeScript();
        } else if (roll < 87) {
            const json& event = oneOf(kBridgeEvents);
            note("bridge " + event.dump());
            h_.voice->handleBridgeEvent(event);
        } else if (roll < 92) {
            note("audio");
            h_.platform.audio.capture(AudioPCMBuffer{{48000, 1}, std::vector<float>(64, 0.1f), nullptr});
        } else if (roll < 94) {
            const bool speak = chance(60);
            note(std::string("speakReplies ") + (speak ? "on" : "off"));
            h_.platform.userDefaults.values["voiceSpeakReplies"] = speak;
        } else if (roll < 97) {
            if (h_.platform.audio.startOutcomes.empty() && chance(50)) {
                note("nextEngineFails");
                h_.platform.audio.startOutcomes.push_back(false);
            }
        } else if (h_.webView && chance(30)) {
            webViewGoesAway();
        }
    }

    void afterToggle() {
        // A toggle while recording is a stop; the capture is over until the finish.
        if (h_.voice->state() == VoiceState::recording && h_.platform.speech.recognizer->tasks.size() == tasksSeen_)
            stoppedSinceStart_ = true;
    }

    void recognizerReport() {
        FakeRecognitionTask* task = someTask();
        if (!task) return;
        const Utterance& u = oneOf(kUtterances);
        const std::string which = task == h_.platform.speech.recognizer->tasks.back().get() ? " current" : " old";
        const std::size_t kind = pick(20);
        if (kind >= 15 && kind < 17) {
            note("error" + which);
            task->fail();
        } else if (kind >= 18) {
            note("emptyReport" + which);
            task->deliver(std::nullopt, std::nullopt);
        } else {
            const bool isFinal = kind >= 10 && (kind < 15 || chance(50));
            note(std::string(kind < 15 ? (isFinal ? "final" : "partial") : "resultWithError") + which + " '" + u.raw + "'");
            heardRaw_[task].insert(u.raw);
            task->deliver(SpeechRecognitionResult{u.raw, isFinal},
                          kind < 15 ? std::nullopt : std::optional(SpeechRecognitionError{"e"}));
        }
    }

    void completeScript() {
        std::vector<ScriptCompletion*> waiting;
        if (h_.webView)
            for (auto& evaluation : h_.webView->evaluations)
                if (evaluation.completion) waiting.push_back(&evaluation.completion);
        if (waiting.empty()) return;
        ScriptCompletion completion = std::exchange(*waiting[pick(waiting.size())], nullptr);
        switch (pick(6)) {
        case 0:
        case 1: note("scriptOk"); completion(json{{"ok", true}}, std::nullopt); break;
        case 2: note("scriptNotOk"); completion(json{{"ok", false}, {"reason", "no-textarea"}}, std::nullopt); break;
        case 3: note("scriptError"); completion(std::nullopt, ScriptError{"TypeError"}); break;
        case 4: note("scriptBareTrue"); completion(json(true), std::nullopt); break;
        default: note("scriptNoResult"); completion(std::nullopt, std::nullopt);
        }
        h_.run();
    }

    void webViewGoesAway() {
        note("webViewGone");
        checkScripts();  // read what it ran before it goes; its pending completions never come
        h_.webView.reset();
        lastVoiceEvent_.clear();
    }

    void check() {
        const VoiceState state = h_.voice->state();
        auto& engines = h_.platform.audio.engines;
        auto& tasks = h_.platform.speech.recognizer->tasks;

        if (tasks.size() != tasksSeen_) {
            require(tasks.size() == tasksSeen_ + 1, "one recording starts at a time");
            tasksSeen_ = tasks.size();
            stoppedSinceStart_ = false;
        }

        // The finish happens at most once per recording.
        for (const auto& task : tasks) require(task->cancelCalls <= 1, "a recording is finished once");
        for (const auto& [task, count] : handedOver_) require(count <= 1, "a recording is handed over once");

        // The microphone runs exactly while recording, until the stop.
        const auto alive = std::count_if(engines.begin(), engines.end(), [](const auto& e) { return e->alive; });
        if (state == VoiceState::recording) {
            require(alive == 1 && !tasks.empty() && tasks.back()->cancelCalls == 0,
                    "a recording has one engine and a running task");
            const auto& engine = *std::find_if(engines.begin(), engines.end(), [](const auto& e) { return e->alive; });
            if (!stoppedSinceStart_) {
                require(engine->running && engine->tapInstalled, "a recording hears the microphone");
            } else {
                require(!engine->capturing(), "a stopped recording no longer captures");
            }
        } else {
            require(alive == 0, "no engine outlives its recording");
            require(!h_.platform.audio.anyCapturing(), "the microphone is off while not recording");
            for (const auto& task : tasks) require(task->cancelCalls == 1, "no task outlives its recording");
        }

        checkStatuses();
        checkScripts();
    }

    void checkStatuses() {
        for (; statusesChecked_ < statuses_.size(); ++statusesChecked_) {
            const auto& [status, recordings] = statuses_[statusesChecked_];
            if (kFixedStatuses.count(status)) continue;
            const FakeRecognitionTask* task = recordingAt(recordings);
            const std::string bullet = "\u25CF ";
            const std::string sending = "Sending: ";
            if (status.starts_with(bullet)) {
                const std::string shown = status.substr(bullet.size());
                require(!shown.empty() && task && heardRaw_[task].count(shown),
                        "a transcript shown was heard by the running recording", &status);
            } else if (status.starts_with(sending)) {
                const std::string sent = status.substr(sending.size());
                require(!sent.empty() && heardAs(task, sent), "a message sent was heard by its recording", &status);
            } else {
                require(false, "a status is one of the known ones", &status);
            }
        }
    }

    void checkScripts() {
        if (!h_.webView) return;
        const auto& evaluations = h_.webView->evaluations;
        for (; scriptsChecked_ < evaluations.size(); ++scriptsChecked_) {
            const std::string& script = evaluations[scriptsChecked_].script;
            if (script == kClearWatcherScript || script == replyWatcherScript() || script == silencePageScript()) continue;
            bool known = false;
            for (const char* word : {"recording", "transcribing", "idle"}) {
                if (script == voiceStateScript(word)) {
                    lastVoiceEvent_ = word;
                    known = true;
                }
            }
            if (known) continue;
            for (const auto& u : kUtterances) {
                if (u.trimmed.empty()) continue;
                if (script != composerSubmitScript(u.trimmed) && script != composerInsertScript(u.trimmed)) continue;
                const FakeRecognitionTask* task = recordingAt(taggedView_->recordingsAtEvaluation[scriptsChecked_]);
                ++handedOver_[task];
                require(heardAs(task, u.trimmed), "what is handed over was heard by its recording", &script);
                known = true;
                break;
            }
            require(known, "a script is one of the known ones", &script);
        }
        // The page is never told that a dictation records when nothing does.
        if (lastVoiceEvent_ == "recording") {
            require(h_.voice->state() == VoiceState::recording, "the page hears 'recording' only while recording");
        }
    }

    // The application lets go of the controller with everything still in flight.
    void releaseAndDrain() {
        note("released");
        std::weak_ptr<VoiceController> weak = h_.voice;
        h_.voice.reset();
        // Every answer the platform still owes comes, and may start another
        // request, until none is left. A speech answer keeps the controller
        // until it has run, so a released controller may still record once.
        auto& permissions = h_.platform.permissions;
        h_.run();
        while (permissions.answerMicrophone(true) || permissions.answerSpeech(3)) h_.run();
        for (const auto& task : h_.platform.speech.recognizer->tasks) {
            task->final("late");
            task->fail();
        }
        if (h_.webView)
            for (auto& evaluation : h_.webView->evaluations)
                if (evaluation.completion) std::exchange(evaluation.completion, nullptr)(json{{"ok", true}}, std::nullopt);
        h_.advance(60000);
        require(weak.expired(), "nothing keeps a released controller");
        require(!h_.platform.audio.anyCapturing(), "a released controller leaves the microphone off");
        for (const auto& task : h_.platform.speech.recognizer->tasks)
            require(task->cancelCalls <= 1, "a recording is finished once");
        require(h_.platform.mainQueue.pending() == 0, "a released controller leaves nothing on the main queue");
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    VoiceModel(input).run();
    return 0;
}
