#pragma once

#include "platform/CoreGuard.h"

#include <functional>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>

#include "voice/TapRequest.h"
#include "voice/VoiceState.h"

namespace pelko {

class Alerts;
class Audio;
class MainQueue;
class Permissions;
class Speech;
class Urls;
class UserDefaults;
class Workspace;

class AudioEngine;
class SpeechRecognitionTask;
class SpeechRecognizer;
class Timer;
class WebView;

// Push-to-talk voice messages and dictation. Speech from the microphone is
// transcribed, typed into the page's chat composer and, for push-to-talk,
// sent; the reply is then read aloud by the page's own read-aloud button.
//
// Main thread only. Always owned by a std::shared_ptr (create it with
// std::make_shared): continuations that may come late hold it weakly and do
// nothing once it is gone.
class VoiceController : public std::enable_shared_from_this<VoiceController> {
public:
    // The ports it uses.
    struct UsedPorts {
        Audio& audio;
        Speech& speech;
        Permissions& permissions;
        UserDefaults& userDefaults;
        MainQueue& mainQueue;
        Alerts& alerts;
        Workspace& workspace;
        Urls& urls;
    };
    VoiceController(const std::shared_ptr<WebView>& webView, UsedPorts ports);
    ~VoiceController();
    VoiceController(const VoiceController&) = delete;
    VoiceController& operator=(const VoiceController&) = delete;

    const std::string& status() const { return status_; }
    VoiceState state() const { return state_; }

    // Read from the user defaults every time (true unless a Boolean is stored).
    bool speakReplies() const;
    void setSpeakReplies(bool speak);

    // The push-to-talk command: starts a recording, or stops the running one and sends it.
    void togglePushToTalk();
    // The page's dictation request: starts a dictation, or ends the one in progress.
    void toggleDictation();
    // A bridge message whose "type" is "voice", whole. Only "event" is read.
    void handleBridgeEvent(const nlohmann::json& message);

    // Called with the new text on every assignment of the status, also when it doesn't change.
    std::function<void(const std::string& status)> onStatusChange;

private:
    std::string status_;  // every assignment goes through setStatus
    std::weak_ptr<WebView> webView_;
    VoiceState state_ = VoiceState::idle;
    const std::shared_ptr<SpeechRecognizer> recognizer_;  // "en-US"; none when the platform has none
    std::unique_ptr<AudioEngine> audioEngine_;
    std::shared_ptr<SpeechAudioBufferRecognitionRequest> request_;
    std::shared_ptr<SpeechRecognitionTask> task_;
    std::string latestTranscript_;
    std::unique_ptr<Timer> finalizeTimer_;
    bool stoppingForSend_ = false;
    bool dictating_ = false;

    // The request as the audio thread sees it; always holds the same request as `request_`.
    const std::shared_ptr<TapRequest> tapRequest_ = std::make_shared<TapRequest>();
    // Counts recordings, so that a recognition task can tell whether its recording is still the current one.
    unsigned long long recordingNumber_ = 0;
    const UsedPorts ports_;

    void setStatus(const std::string& text);
    void setRequest(std::shared_ptr<SpeechAudioBufferRecognitionRequest> newRequest);

    void cancelAwaitingReply();
    void postVoiceState(const std::string& state);
    void dictationAuthorized(bool granted);

    void startRecording();
    void stopRecording(bool send);
    void finishRecording(bool send);
    void recognized(unsigned long long recording, const std::string& transcript);
    void recognitionEnded(unsigned long long recording, bool send);
    void recognitionEndedWithStopValue(unsigned long long recording);
    void releaseCapture();

    void insertIntoComposer(const std::string& transcript);
    void submitToChat(const std::string& transcript);
    void insertCompleted(bool succeeded);
    void submitCompleted(bool succeeded);

    void requestAuthorizations(std::function<void(bool granted)> completion);
    void requestMicPermission(std::function<void(bool granted)> completion);
    void permissionAlert(const std::string& title, const std::string& text, const std::string& pane);
};

}  // namespace pelko
