// VoiceController: the microphone and speech-recognition permissions asked
// before a recording, and the alerts when one is refused.

#include "platform/Alerts.h"
#include "platform/MainQueue.h"
#include "platform/Permissions.h"
#include "platform/Workspace.h"
#include "voice/VoiceController.h"
#include "voice/VoiceStatusTexts.h"

namespace pelko {

namespace {

constexpr const char* kSettingsURLPrefix = "x-apple.systempreferences:com.apple.preference.security?";

constexpr const char* kMicrophoneAlertTitle = "Microphone Needed";
constexpr const char* kMicrophoneAlertText =
    "Pelko uses the microphone for push-to-talk voice messages. macOS only lists an app under Privacy & Security "
    "\u2192 Microphone after the app asks \u2014 turn Pelko on there, then press the shortcut again.";
constexpr const char* kMicrophonePane = "Privacy_Microphone";

constexpr const char* kSpeechAlertTitle = "Speech Recognition Needed";
constexpr const char* kSpeechAlertText =
    "Pelko uses speech recognition to turn push-to-talk voice messages into text. Enable it in System Settings "
    "\u2192 Privacy & Security \u2192 Speech Recognition, then try again.";
constexpr const char* kSpeechPane = "Privacy_SpeechRecognition";

// A platform that answers twice must not start two recordings or show two alerts.
std::function<void(bool)> once(std::function<void(bool)> completion) {
    auto pending = std::make_shared<std::function<void(bool)>>(std::move(completion));
    return [pending](bool value) {
        auto call = std::move(*pending);
        *pending = nullptr;
        if (call) call(value);
    };
}

}  // namespace

void VoiceController::requestMicPermission(std::function<void(bool granted)> completion) {
    MainQueue* mainQueue = &ports_.mainQueue;
    ports_.permissions.requestRecordPermission(
        [mainQueue, completion = once(std::move(completion))](bool granted) {
            mainQueue->async([completion, granted] { completion(granted); });
        });
}

void VoiceController::requestAuthorizations(std::function<void(bool granted)> completion) {
    std::weak_ptr<VoiceController> weakSelf = weak_from_this();
    requestMicPermission([weakSelf, completion = std::move(completion)](bool micGranted) {
        auto self = weakSelf.lock();
        if (!self) return;  // gone before the answer: the completion is never called
        if (!micGranted) {
            self->setStatus(voice_status::kMicrophoneNotAuthorized);
            self->permissionAlert(kMicrophoneAlertTitle, kMicrophoneAlertText, kMicrophonePane);
            completion(false);
            return;
        }
        MainQueue* mainQueue = &self->ports_.mainQueue;
        auto answered = std::make_shared<bool>(false);
        // This answer keeps the controller until it has run. It hands its
        // reference on to the main queue, so that the last one is let go there.
        self->ports_.permissions.requestSpeechRecognitionAuthorization(
            [self, mainQueue, completion, answered](SpeechRecognizerAuthorizationStatus status) mutable {
                if (!self) return;  // answered before
                mainQueue->async([self = std::move(self), completion, answered, status] {
                    if (*answered) return;
                    *answered = true;
                    if (status == SpeechRecognizerAuthorizationStatus::authorized) {
                        completion(true);
                        return;
                    }
                    self->setStatus(voice_status::kSpeechNotAuthorized);
                    self->permissionAlert(kSpeechAlertTitle, kSpeechAlertText, kSpeechPane);
                    completion(false);
                });
            });
    });
}

void VoiceController::permissionAlert(const std::string& title, const std::string& text, const std::string& pane) {
    const int answer = ports_.alerts.runModal(AlertSpec{title, text, {"Open Settings", "Not Now"}, 1});
    if (answer != kAlertFirstButtonReturn) return;
    if (const auto url = ports_.urls.urlFromString(kSettingsURLPrefix + pane)) ports_.workspace.openURL(*url);
}

}  // namespace pelko
