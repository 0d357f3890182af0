// The part of AVFoundation the backend uses: asking for microphone access.
// Like the real umbrella it brings in AVFAudio. <AVFoundation/AVFoundation.h>
#pragma once

#import <Foundation/Foundation.h>
#import <AVFAudio/AVFAudio.h>

// AVBase.h
#ifdef __cplusplus
#define AVF_EXPORT extern "C"
#else
#define AVF_EXPORT extern
#endif

NS_ASSUME_NONNULL_BEGIN

// AVMediaFormat.h
// The SDK spells this NS_EXTENSIBLE_STRING_ENUM, an alias of the macro used here.
typedef NSString *AVMediaType NS_TYPED_EXTENSIBLE_ENUM;

AVF_EXPORT AVMediaType const AVMediaTypeAudio API_AVAILABLE(macos(10.7));

// AVCaptureDevice.h
API_AVAILABLE(macos(10.7))
@interface AVCaptureDevice : NSObject
// The handler may run on any queue.
+ (void)requestAccessForMediaType:(AVMediaType)mediaType
                completionHandler:(void (^)(BOOL granted))handler API_AVAILABLE(macos(10.14));
@end

NS_ASSUME_NONNULL_END
