#pragma once

#include "platform/AudioEngine.h"

namespace pelko::mac {

// AVAudioEngine and its microphone input. The tap hands each captured
// AVAudioPCMBuffer on as the buffer's native handle, without copying it.
class AudioPort : public Audio {
public:
    std::unique_ptr<AudioEngine> makeAudioEngine() override;
};

}  // namespace pelko::mac
