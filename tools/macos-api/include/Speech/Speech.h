// The part of the Speech framework the backend uses: live dictation from
// audio buffers. <Speech/Speech.h>
#pragma once

#import <Foundation/Foundation.h>
#import <AVFAudio/AVFAudio.h>

NS_ASSUME_NONNULL_BEGIN

// SFTranscription.h
API_AVAILABLE(macos(10.15))
@interface SFTranscription : NSObject
@property (nonatomic, readonly, copy) NSString *formattedString;
@end

// SFSpeechRecognitionResult.h
API_AVAILABLE(macos(10.15))
@interface SFSpeechRecognitionResult : NSObject
@property (nonatomic, readonly, copy) SFTranscription *bestTranscription;
// YES once the transcriptions will no longer change.
@property (nonatomic, readonly, getter=isFinal) BOOL final;
@end

// SFSpeechRecognitionRequest.h
API_AVAILABLE(macos(10.15))
@interface SFSpeechRecognitionRequest : NSObject
// Defaults to YES.
@property (nonatomic) BOOL shouldReportPartialResults;
// Defaults to NO, so audio goes to the server unless this is set; honoured
// only if the recognizer's supportsOnDeviceRecognition is YES.
@property (nonatomic) BOOL requiresOnDeviceRecognition API_AVAILABLE(macos(10.15));
@end

API_AVAILABLE(macos(10.15))
@interface SFSpeechAudioBufferRecognitionRequest : SFSpeechRecognitionRequest
- (void)appendAudioPCMBuffer:(AVAudioPCMBuffer *)audioPCMBuffer;
- (void)endAudio;
@end

// SFSpeechRecognitionTask.h
API_AVAILABLE(macos(10.15))
@interface SFSpeechRecognitionTask : NSObject
- (void)cancel;
@end

// SFSpeechRecognizer.h
typedef NS_ENUM(NSInteger, SFSpeechRecognizerAuthorizationStatus) {
    SFSpeechRecognizerAuthorizationStatusNotDetermined = 0,
    SFSpeechRecognizerAuthorizationStatusDenied = 1,
    SFSpeechRecognizerAuthorizationStatusRestricted = 2,
    SFSpeechRecognizerAuthorizationStatusAuthorized = 3,
} API_AVAILABLE(macos(10.15));

API_AVAILABLE(macos(10.15))
@interface SFSpeechRecognizer : NSObject
// The handler is not guaranteed to run on the main queue.
+ (void)requestAuthorization:(void (^)(SFSpeechRecognizerAuthorizationStatus status))handler;
// nil when the locale is not supported.
- (nullable instancetype)initWithLocale:(NSLocale *)locale NS_DESIGNATED_INITIALIZER;
@property (nonatomic, readonly, getter=isAvailable) BOOL available;
@property (nonatomic) BOOL supportsOnDeviceRecognition API_AVAILABLE(macos(10.15));
// With partial results on, the handler runs repeatedly, then once more with
// a final result or an error.
- (SFSpeechRecognitionTask *)recognitionTaskWithRequest:(SFSpeechRecognitionRequest *)request
                                          resultHandler:(void (^)(SFSpeechRecognitionResult *_Nullable result,
                                                                  NSError *_Nullable error))resultHandler;
@end

NS_ASSUME_NONNULL_END
