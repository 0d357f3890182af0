#include "gtk/voice/CaptureTap.h"

namespace pelko::gtk {

AudioFormat CaptureTap::outputFormatForBus(int bus) const { return bus == 0 ? kCaptureFormat : AudioFormat{}; }

bool CaptureTap::installTapOnBus(int bus, unsigned /*bufferSize*/, const AudioFormat& format, AudioTapBlock block) {
    // One bus, delivered in the capture format only: nothing converts here.
    if (bus != 0 || format != kCaptureFormat) return false;
    std::lock_guard lock(mutex_);
    block_ = std::move(block);
    return true;
}

void CaptureTap::removeTapOnBus(int bus) {
    if (bus != 0) return;
    // Waits out a call in progress; the block itself is destroyed outside the lock.
    AudioTapBlock removed;
    std::lock_guard lock(mutex_);
    removed.swap(block_);
}

void CaptureTap::beginCapture() {
    pending_.clear();
    sampleTime_ = 0;
}

void CaptureTap::deliver(std::span<const std::int16_t> samples) {
    for (const std::int16_t sample : samples) {
        if (pending_.empty()) pending_.reserve(kCaptureBufferFrames);
        pending_.push_back(static_cast<float>(sample) / 32768.0f);
        if (pending_.size() < kCaptureBufferFrames) continue;
        AudioPCMBuffer buffer;
        buffer.format = kCaptureFormat;
        buffer.samples.swap(pending_);
        const AudioTime when{sampleTime_};
        sampleTime_ += static_cast<std::int64_t>(kCaptureBufferFrames);
        std::lock_guard lock(mutex_);
        if (block_) block_(buffer, when);
    }
}

}  // namespace pelko::gtk
