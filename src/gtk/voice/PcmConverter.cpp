#include "gtk/voice/PcmConverter.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace pelko::gtk {

void PcmConverter::convert(const AudioChunk& chunk, std::vector<std::int16_t>& out) {
    out.clear();
    const std::size_t channels = chunk.format.channelCount;
    const std::size_t frames = chunk.samples.size() / channels;
    mono_.resize(frames);
    for (std::size_t frame = 0; frame < frames; ++frame) {
        float sum = 0;
        for (std::size_t channel = 0; channel < channels; ++channel)
            sum += chunk.samples[frame * channels + channel];
        mono_[frame] = sum / static_cast<float>(channels);
    }
    if (frames == 0) return;
    if (chunk.format.sampleRate == kModelRate) {
        for (const float sample : mono_) out.push_back(pcm(sample));
        next_ = 0;
    } else {
        // `next_` is where the next output sample falls, in frames from this
        // buffer's first; frame -1 is the previous buffer's last.
        const double step = chunk.format.sampleRate / kModelRate;
        const double last = static_cast<double>(frames - 1);
        for (; next_ < last; next_ += step) {
            const double whole = std::floor(next_);
            const auto index = static_cast<std::ptrdiff_t>(whole);
            const float before = index < 0 ? previous_ : mono_[static_cast<std::size_t>(index)];
            const float after = mono_[static_cast<std::size_t>(index + 1)];
            out.push_back(pcm(before + (after - before) * static_cast<float>(next_ - whole)));
        }
        next_ -= static_cast<double>(frames);
    }
    previous_ = mono_.back();
}

std::int16_t PcmConverter::pcm(float sample) {
    if (std::isnan(sample)) return 0;
    return static_cast<std::int16_t>(std::lrint(std::clamp(sample, -1.0f, 1.0f) * 32767.0f));
}

}  // namespace pelko::gtk
