#include "voice/VoiceController.h"

#include "platform/AudioEngine.h"
#include "platform/MainQueue.h"
#include "platform/SpeechRecognizer.h"
#include "platform/WebView.h"
#include "voice/SpeakRepliesSetting.h"
#include "voice/VoiceStatusTexts.h"

namespace pelko {

namespace {
constexpr const char* kRecognizerLocale = "en-US";
constexpr const char* kClearWatcherFlagScript = "window.__pelkoVoiceWatcher = false;";
}  // namespace

VoiceController::VoiceController(const std::shared_ptr<WebView>& view, UsedPorts ports)
    : status_(voice_status::kReady),
      webView_(view),
      recognizer_(ports.speech.recognizerForLocale(kRecognizerLocale)),
      ports_(ports) {}

VoiceController::~VoiceController() {
    // A controller that goes away mid-recording must not leave the microphone on.
    releaseCapture();
}

void VoiceController::setStatus(const std::string& text) {
    status_ = text;
    if (onStatusChange) onStatusChange(status_);
}

void VoiceController::setRequest(std::shared_ptr<SpeechAudioBufferRecognitionRequest> newRequest) {
    tapRequest_->store(newRequest);
    request_ = std::move(newRequest);
}

bool VoiceController::speakReplies() const { return speakRepliesSetting(ports_.userDefaults); }

void VoiceController::setSpeakReplies(bool speak) { setSpeakRepliesSetting(ports_.userDefaults, speak); }

void VoiceController::togglePushToTalk() {
    switch (state_) {
    case VoiceState::recording: stopRecording(true); return;
    case VoiceState::awaitingReply: cancelAwaitingReply(); break;
    case VoiceState::idle: break;
    }
    std::weak_ptr<VoiceController> weakSelf = weak_from_this();
    requestAuthorizations([weakSelf](bool granted) {
        auto self = weakSelf.lock();
        if (self && granted) self->startRecording();
    });
}

void VoiceController::toggleDictation() {
    if (state_ == VoiceState::awaitingReply) cancelAwaitingReply();
    if (state_ == VoiceState::idle) {
        // Also resets the status and stops a reply watcher still running in the page.
        cancelAwaitingReply();
        std::weak_ptr<VoiceController> weakSelf = weak_from_this();
        requestAuthorizations([weakSelf](bool granted) {
            if (auto self = weakSelf.lock()) self->dictationAuthorized(granted);
        });
    } else if (dictating_) {
        postVoiceState("transcribing");
        stopRecording(false);
    } else {
        // A push-to-talk recording is running: end it as push-to-talk would.
        stopRecording(true);
    }
}

void VoiceController::dictationAuthorized(bool granted) {
    // Only a recording this answer starts becomes a dictation; one that is
    // already running (push-to-talk pressed meanwhile) stays what it is.
    if (granted && state_ == VoiceState::idle) {
        dictating_ = true;
        startRecording();
        // A start that failed must not make the next recording finish as a dictation.
        if (state_ != VoiceState::recording) dictating_ = false;
    }
    // Tell the page what is really happening, not what was asked for.
    postVoiceState(state_ == VoiceState::recording && dictating_ ? "recording" : "idle");
}

void VoiceController::cancelAwaitingReply() {
    state_ = VoiceState::idle;
    setStatus(voice_status::kReady);
    if (auto view = webView_.lock()) view->evaluateJavaScript(kClearWatcherFlagScript);
}

void VoiceController::postVoiceState(const std::string& state) {
    // `state` is one of the fixed words "recording", "transcribing" and "idle": no escaping needed.
    const std::string script =
        "window.dispatchEvent(new CustomEvent('pelko:voice', { detail: { state: '" + state + "' } }));";
    if (auto view = webView_.lock()) view->evaluateJavaScript(script);
}

}  // namespace pelko
