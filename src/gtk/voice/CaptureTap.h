#pragma once

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <span>
#include <vector>

#include "platform/AudioEngine.h"

namespace pelko::gtk {

// What the Linux capture engines deliver: 16 kHz mono, the rate the speech
// recognizer works at, in buffers of 1024 frames (64 ms).
inline constexpr AudioFormat kCaptureFormat{16000, 1};
inline constexpr std::size_t kCaptureBufferFrames = 1024;
// What the capture threads are called, for top -H and for the tests.
inline constexpr const char* kAudioThreadName = "pelko-audio";

// The input node of the Linux capture engines: it holds the tap on bus 0 and
// turns the 16-bit samples a capture thread hands it into float buffers of
// `kCaptureBufferFrames` frames, whatever size the tap asked for.
//
// The tap is called with a lock held that removing it takes too, so once
// `removeTapOnBus` has returned the tap is never called again.
class CaptureTap final : public AudioInputNode {
public:
    AudioFormat outputFormatForBus(int bus) const override;
    // There is only bus 0: a tap on another bus is never called.
    bool installTapOnBus(int bus, unsigned bufferSize, const AudioFormat& format, AudioTapBlock block) override;
    void removeTapOnBus(int bus) override;

    // Before a capture thread starts: sample times count from 0 again and
    // frames left over from an earlier capture are dropped.
    void beginCapture();
    // Capture thread only: every buffer these samples complete goes to the tap.
    void deliver(std::span<const std::int16_t> samples);

private:
    std::mutex mutex_;
    AudioTapBlock block_;
    // The capture thread's; the start and the join of that thread order it.
    std::vector<float> pending_;
    std::int64_t sampleTime_ = 0;
};

}  // namespace pelko::gtk
