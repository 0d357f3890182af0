#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "gtk/voice/CaptureTap.h"
#include "platform/AudioEngine.h"

namespace pelko::gtk {

// A microphone that hears a WAV file, for tests and the benchmark: the file
// plays in real time, 1024 frames every 64 ms on a thread of its own, and
// then there is silence until the engine stops, as in a quiet room. Buffers
// fall due at fixed times from the start, so a late one does not delay the rest.
class WavFileCapture final : public AudioEngine {
public:
    explicit WavFileCapture(std::string path);
    // Stops a capture still running.
    ~WavFileCapture() override;
    WavFileCapture(const WavFileCapture&) = delete;
    WavFileCapture& operator=(const WavFileCapture&) = delete;

    AudioInputNode& inputNode() override { return tap_; }
    // Reads the file; false when it is missing or not 16 kHz mono 16-bit PCM.
    // Every start plays it from the beginning; starting a running engine does nothing.
    [[nodiscard]] bool start() override;
    // Returns once the playing thread has ended.
    void stop() override;

private:
    void play(std::vector<std::int16_t> samples);

    std::string path_;
    CaptureTap tap_;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool stopping_ = false;
    std::thread thread_;
};

}  // namespace pelko::gtk
