#pragma once

#include <memory>
#include <optional>
#include <string>

#include "platform/AudioEngine.h"

namespace pelko::gtk {

// Makes the capture engines: the microphone through PulseAudio, or a WAV file
// played as if it were the microphone when one is set (tests, the benchmark).
// Main thread only.
class AudioPort final : public Audio {
public:
    // Engines made from now on play `path`; none: they record the microphone.
    void useFile(std::optional<std::string> path) { file_ = std::move(path); }
    std::unique_ptr<AudioEngine> makeAudioEngine() override;

private:
    std::optional<std::string> file_;
};

}  // namespace pelko::gtk
