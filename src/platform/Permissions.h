#pragma once

#include <functional>

namespace pelko {

// Speech-recognition authorization with the platform's values. A backend may
// deliver a value outside these; only `authorized` counts as granted.
enum class SpeechRecognizerAuthorizationStatus : int {
    notDetermined = 0,
    denied = 1,
    restricted = 2,
    authorized = 3,
};

// The user's privacy decisions. The platform asks the user only the first
// time and answers at once afterwards.
class Permissions {
public:
    virtual ~Permissions() = default;
    // The answer arrives once, on a queue of the platform's choosing.
    virtual void requestRecordPermission(std::function<void(bool granted)> completion) = 0;
    // The status arrives once, on a queue of the platform's choosing.
    virtual void requestSpeechRecognitionAuthorization(
        std::function<void(SpeechRecognizerAuthorizationStatus status)> handler) = 0;
};

}  // namespace pelko
