// The part of AVFAudio the backend uses: an engine with a tap on the
// microphone input, and the app-level record permission. <AVFAudio/AVFAudio.h>
#pragma once

#include <stdint.h>

#import <Foundation/Foundation.h>

NS_ASSUME_NONNULL_BEGIN

// AVAudioTypes.h
typedef int64_t AVAudioFramePosition;
typedef uint32_t AVAudioFrameCount;
typedef uint32_t AVAudioChannelCount;
typedef NSUInteger AVAudioNodeBus;

// AVAudioFormat.h
API_AVAILABLE(macos(10.10))
@interface AVAudioFormat : NSObject
// Returns nil for more than two channels.
- (nullable instancetype)initStandardFormatWithSampleRate:(double)sampleRate
                                                 channels:(AVAudioChannelCount)channels;
@property (nonatomic, readonly) double sampleRate;
@property (nonatomic, readonly) AVAudioChannelCount channelCount;
@end

// AVAudioBuffer.h
API_AVAILABLE(macos(10.10))
@interface AVAudioBuffer : NSObject
@end

API_AVAILABLE(macos(10.10))
@interface AVAudioPCMBuffer : AVAudioBuffer
@property (nonatomic) AVAudioFrameCount frameLength;
@end

// AVAudioTime.h
API_AVAILABLE(macos(10.10))
@interface AVAudioTime : NSObject
@property (nonatomic, readonly) AVAudioFramePosition sampleTime;
@end

// AVAudioNode.h
// Called on a thread other than the main one.
typedef void (^AVAudioNodeTapBlock)(AVAudioPCMBuffer *buffer, AVAudioTime *when);

API_AVAILABLE(macos(10.10))
@interface AVAudioNode : NSObject
- (AVAudioFormat *)outputFormatForBus:(AVAudioNodeBus)bus;
// Its replacement from macOS 27, installAudioTap(onBus:bufferSize:format:tapProvider:),
// is Swift-only.
- (void)installTapOnBus:(AVAudioNodeBus)bus
             bufferSize:(AVAudioFrameCount)bufferSize
                 format:(AVAudioFormat *_Nullable)format
                  block:(AVAudioNodeTapBlock)tapBlock
    API_DEPRECATED("Use installAudioTap(onBus:bufferSize:format:tapProvider:)", macos(10.10, 27.0));
- (void)removeTapOnBus:(AVAudioNodeBus)bus;
@end

// AVAudioIONode.h
API_AVAILABLE(macos(10.10))
@interface AVAudioIONode : AVAudioNode
@end

API_AVAILABLE(macos(10.10))
@interface AVAudioInputNode : AVAudioIONode
@end

// AVAudioEngine.h
API_AVAILABLE(macos(10.10))
@interface AVAudioEngine : NSObject
- (instancetype)init;
// Created on first access.
@property (readonly, nonatomic) AVAudioInputNode *inputNode API_AVAILABLE(macos(10.10));
- (BOOL)startAndReturnError:(NSError **)outError;
- (void)stop;
@end

// AVAudioApplication.h
API_AVAILABLE(macos(14.0))
@interface AVAudioApplication : NSObject
// The block may run on any thread.
+ (void)requestRecordPermissionWithCompletionHandler:(void (^)(BOOL granted))response
    API_AVAILABLE(macos(14.0));
@end

NS_ASSUME_NONNULL_END
