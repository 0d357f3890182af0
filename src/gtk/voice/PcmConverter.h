#pragma once

#include <cstdint>
#include <vector>

#include "platform/AudioEngine.h"

namespace pelko::gtk {

// The rate the acoustic model was trained at.
inline constexpr double kModelRate = 16000;

// One captured buffer, copied as it came.
struct AudioChunk {
    AudioFormat format;
    std::vector<float> samples;
};

// Turns captured buffers into what the decoder takes: 16 kHz, mono, 16-bit.
// Channels are averaged; another rate is resampled by linear interpolation
// across buffer boundaries, without a low-pass filter first. That is only a
// fallback: the Linux capture delivers 16 kHz mono.
class PcmConverter {
public:
    void convert(const AudioChunk& chunk, std::vector<std::int16_t>& out);

private:
    static std::int16_t pcm(float sample);

    std::vector<float> mono_;
    double next_ = 0;
    float previous_ = 0;
};

}  // namespace pelko::gtk
