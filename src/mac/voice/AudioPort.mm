#import <AVFAudio/AVFAudio.h>
#import <CoreFoundation/CoreFoundation.h>

#include "mac/voice/AudioPort.h"

namespace pelko::mac {

namespace {

AudioFormat formatFrom(AVAudioFormat* format) {
    return AudioFormat{format.sampleRate, static_cast<unsigned>(format.channelCount)};
}

class InputNode : public AudioInputNode {
public:
    explicit InputNode(AVAudioInputNode* node) : node_(node) {}

    AudioFormat outputFormatForBus(int bus) const override {
        return formatFrom([node_ outputFormatForBus:static_cast<AVAudioNodeBus>(bus)]);
    }

    bool installTapOnBus(int bus, unsigned bufferSize, const AudioFormat& format, AudioTapBlock block) override {
        const auto nodeBus = static_cast<AVAudioNodeBus>(bus);
        // The bus's own format object when that is the one asked for.
        AVAudioFormat* busFormat = [node_ outputFormatForBus:nodeBus];
        AVAudioFormat* tapFormat = formatFrom(busFormat) == format
                                       ? busFormat
                                       : [[AVAudioFormat alloc] initStandardFormatWithSampleRate:format.sampleRate
                                                                                        channels:format.channelCount];
        if (!tapFormat) return false;
        // A copy: a block captures a C++ reference as the reference, and the
        // caller's format is gone long before the audio thread's last buffer.
        const AudioFormat delivered = format;
        // AVFAudio raises an Objective-C exception for a tap it refuses (a
        // format the bus cannot deliver, an input that went away meanwhile):
        // an error here, never the end of the app.
        @try {
            // Runs on the audio thread.
            [node_ installTapOnBus:nodeBus
                        bufferSize:bufferSize
                            format:tapFormat
                             block:^(AVAudioPCMBuffer* buffer, AVAudioTime* when) {
                               AudioPCMBuffer captured;
                               captured.format = delivered;
                               captured.native = std::shared_ptr<const void>(CFBridgingRetain(buffer), CFRelease);
                               block(captured, AudioTime{when.sampleTime});
                             }];
        } @catch (NSException* exception) {
            return false;
        }
        return true;
    }

    void removeTapOnBus(int bus) override { [node_ removeTapOnBus:static_cast<AVAudioNodeBus>(bus)]; }

private:
    AVAudioInputNode* node_;
};

class Engine : public AudioEngine {
public:
    Engine() : engine_([[AVAudioEngine alloc] init]), input_(engine_.inputNode) {}
    AudioInputNode& inputNode() override { return input_; }
    bool start() override {
        NSError* error = nil;
        return [engine_ startAndReturnError:&error];
    }
    void stop() override { [engine_ stop]; }

private:
    AVAudioEngine* engine_;
    InputNode input_;
};

}  // namespace

std::unique_ptr<AudioEngine> AudioPort::makeAudioEngine() { return std::make_unique<Engine>(); }

}  // namespace pelko::mac
