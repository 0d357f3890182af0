#pragma once

#include "platform/Permissions.h"

namespace pelko::mac {

// The microphone permission (AVAudioApplication from macOS 14, AVCaptureDevice
// before) and the speech-recognition authorization. Answers arrive on the
// platform's queues, as they come.
class PermissionsPort : public Permissions {
public:
    void requestRecordPermission(std::function<void(bool granted)> completion) override;
    void requestSpeechRecognitionAuthorization(
        std::function<void(SpeechRecognizerAuthorizationStatus status)> handler) override;
};

}  // namespace pelko::mac
