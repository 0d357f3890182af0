#include "gtk/voice/AudioPort.h"

#include "gtk/voice/PulseAudioCapture.h"
#include "gtk/voice/WavFileCapture.h"

namespace pelko::gtk {

std::unique_ptr<AudioEngine> AudioPort::makeAudioEngine() {
    if (file_) return std::make_unique<WavFileCapture>(*file_);
    return std::make_unique<PulseAudioCapture>();
}

}  // namespace pelko::gtk
