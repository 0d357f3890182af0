#include "gtk/LinuxPermissions.h"

#include "platform/MainQueue.h"

namespace pelko::gtk {

void LinuxPermissions::requestRecordPermission(std::function<void(bool granted)> completion) {
    if (!completion) return;
    mainQueue_.async([completion = std::move(completion)] { completion(true); });
}

void LinuxPermissions::requestSpeechRecognitionAuthorization(
    std::function<void(SpeechRecognizerAuthorizationStatus status)> handler) {
    if (!handler) return;
    mainQueue_.async([handler = std::move(handler)] { handler(SpeechRecognizerAuthorizationStatus::authorized); });
}

}  // namespace pelko::gtk
