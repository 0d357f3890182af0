#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace pelko {

// The shape of captured audio.
struct AudioFormat {
    double sampleRate = 0;
    unsigned channelCount = 0;
    bool operator==(const AudioFormat&) const = default;
};

// One block of captured audio: 32-bit float samples, channels interleaved.
// A platform whose recognizer takes its own buffer type may leave `samples`
// empty and hand that buffer over in `native`; the core only passes buffers on.
struct AudioPCMBuffer {
    AudioFormat format;
    std::vector<float> samples;
    std::shared_ptr<const void> native;
    std::size_t frameLength() const { return format.channelCount ? samples.size() / format.channelCount : 0; }
};

// When the first frame of a buffer was captured, in frames since the engine started.
struct AudioTime {
    std::int64_t sampleTime = 0;
};

// Runs on the audio thread for every captured buffer.
using AudioTapBlock = std::function<void(const AudioPCMBuffer& buffer, const AudioTime& when)>;

// The engine's microphone input.
class AudioInputNode {
public:
    virtual ~AudioInputNode() = default;
    virtual AudioFormat outputFormatForBus(int bus) const = 0;
    // One tap per bus; false when the platform refused it (a format the bus
    // cannot deliver), and then the block is never called. Once
    // `removeTapOnBus` has returned, the block is not called again.
    [[nodiscard]] virtual bool installTapOnBus(int bus, unsigned bufferSize, const AudioFormat& format,
                                               AudioTapBlock block) = 0;
    virtual void removeTapOnBus(int bus) = 0;
};

// One capture session. Main thread only, except the tap block.
class AudioEngine {
public:
    virtual ~AudioEngine() = default;
    virtual AudioInputNode& inputNode() = 0;
    // Starts capture (no separate prepare step); false when the engine could not start.
    [[nodiscard]] virtual bool start() = 0;
    virtual void stop() = 0;
};

// Makes engines.
class Audio {
public:
    virtual ~Audio() = default;
    virtual std::unique_ptr<AudioEngine> makeAudioEngine() = 0;
};

}  // namespace pelko
