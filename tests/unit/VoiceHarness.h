#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "fakes/FakePlatform.h"
#include "voice/ComposerScripts.h"
#include "voice/ReplyWatcherScript.h"
#include "voice/SilencePageScript.h"
#include "voice/VoiceController.h"

namespace pelko::test {

// The texts as the user reads them, written out here so that a changed text
// in the code shows up as a failure.
namespace text {
inline const std::string kReady = "Voice ready";
inline const std::string kUnavailable = "Speech recognizer unavailable";
inline const std::string kMicFailed = "Couldn't start the microphone";
inline const std::string kListeningStarted = "\u25CF Listening\u2026 (press \u21E7\u2318Space again to send)";
inline const std::string kListening = "\u25CF Listening\u2026";
inline const std::string kTranscribing = "Transcribing\u2026";
inline const std::string kCancelled = "Cancelled";
inline const std::string kNoSpeech = "No speech detected";
inline const std::string kSentRepliesOff = "Sent (voice replies off)";
inline const std::string kWaiting = "Waiting for the reply\u2026";
inline const std::string kComposer = "Couldn't reach the composer \u2014 click into a chat and retry";
inline const std::string kSpeaking = "Speaking the reply\u2026";
inline const std::string kTimeout = "Reply took too long \u2014 press the message's speaker icon";
inline const std::string kReplyReady = "Reply ready \u2014 press the message's speaker icon to hear it";
inline const std::string kMicNotAuthorized = "Microphone not authorized";
inline const std::string kSpeechNotAuthorized = "Speech recognition not authorized";
}  // namespace text

inline const std::string kClearWatcherScript = "window.__pelkoVoiceWatcher = false;";

inline std::string voiceStateScript(const std::string& state) {
    return "window.dispatchEvent(new CustomEvent('pelko:voice', { detail: { state: '" + state + "' } }));";
}

// A voice controller over fake ports and a fake web view, with a clock that
// moves only when the test says.
struct VoiceHarness {
    FakePlatform platform;
    std::shared_ptr<FakeWebView> webView = std::make_shared<FakeWebView>();
    std::shared_ptr<VoiceController> voice;

    VoiceHarness() { makeController(); }

    void makeController() { voice = std::make_shared<VoiceController>(webView, platform.voicePorts()); }

    void run() { platform.mainQueue.runUntilIdle(); }
    void advance(int ms) { platform.mainQueue.advance(Duration{ms}); }

    void dictate() { voice->handleBridgeEvent({{"type", "voice"}, {"event", "dictate"}}); }
    void replyEvent(const std::string& event) { voice->handleBridgeEvent({{"type", "voice"}, {"event", event}}); }

    FakeRecognitionTask& task() { return *platform.speech.recognizer->tasks.back(); }
    FakeEngineRecord& engine() { return *platform.audio.engines.back(); }

    // Completes the newest script evaluation that asked for a completion;
    // false when none waits for one.
    [[nodiscard]] bool completeLast(const std::optional<nlohmann::json>& result,
                                    const std::optional<ScriptError>& error = std::nullopt) {
        for (auto it = webView->evaluations.rbegin(); it != webView->evaluations.rend(); ++it) {
            if (it->completion) {
                std::exchange(it->completion, nullptr)(result, error);
                run();
                return true;
            }
        }
        return false;
    }
};

}  // namespace pelko::test
