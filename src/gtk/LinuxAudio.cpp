#include "gtk/LinuxAudio.h"

#include "gtk/PulseAudioCapture.h"
#include "gtk/WavFileCapture.h"

namespace pelko::gtk {

std::unique_ptr<AudioEngine> LinuxAudio::makeAudioEngine() {
    if (file_) return std::make_unique<WavFileCapture>(*file_);
    return std::make_unique<PulseAudioCapture>();
}

}  // namespace pelko::gtk
