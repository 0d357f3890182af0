#pragma once

#include "platform/Permissions.h"

namespace pelko {
class MainQueue;
}

namespace pelko::gtk {

// Linux asks no per-application permission for the microphone or for
// speech recognition: both answers are "granted". They still arrive later,
// on the main queue, as the answers of a platform that asks the user do.
class PermissionsPort : public Permissions {
public:
    explicit PermissionsPort(MainQueue& mainQueue) : mainQueue_(mainQueue) {}
    void requestRecordPermission(std::function<void(bool granted)> completion) override;
    void requestSpeechRecognitionAuthorization(
        std::function<void(SpeechRecognizerAuthorizationStatus status)> handler) override;

private:
    MainQueue& mainQueue_;
};

}  // namespace pelko::gtk
