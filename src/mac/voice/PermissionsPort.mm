#import <AVFAudio/AVFAudio.h>
#import <AVFoundation/AVFoundation.h>
#import <Speech/Speech.h>

#include "mac/voice/PermissionsPort.h"

namespace pelko::mac {

void PermissionsPort::requestRecordPermission(std::function<void(bool granted)> completion) {
    if (@available(macOS 14.0, *)) {
        [AVAudioApplication requestRecordPermissionWithCompletionHandler:^(BOOL granted) {
          completion(granted);
        }];
    } else {
        [AVCaptureDevice requestAccessForMediaType:AVMediaTypeAudio
                                 completionHandler:^(BOOL granted) {
                                   completion(granted);
                                 }];
    }
}

void PermissionsPort::requestSpeechRecognitionAuthorization(
    std::function<void(SpeechRecognizerAuthorizationStatus status)> handler) {
    [SFSpeechRecognizer requestAuthorization:^(SFSpeechRecognizerAuthorizationStatus status) {
      // Same numbers on both sides; the core treats any other as not granted.
      handler(static_cast<SpeechRecognizerAuthorizationStatus>(status));
    }];
}

}  // namespace pelko::mac
