#include "gtk/voice/PermissionsPort.h"

#include "platform/MainQueue.h"

namespace pelko::gtk {

void PermissionsPort::requestRecordPermission(std::function<void(bool granted)> completion) {
    if (!completion) return;
    mainQueue_.async([completion = std::move(completion)] { completion(true); });
}

void PermissionsPort::requestSpeechRecognitionAuthorization(
    std::function<void(SpeechRecognizerAuthorizationStatus status)> handler) {
    if (!handler) return;
    mainQueue_.async([handler = std::move(handler)] { handler(SpeechRecognizerAuthorizationStatus::authorized); });
}

}  // namespace pelko::gtk
