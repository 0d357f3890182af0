#pragma once

#include <atomic>
#include <optional>
#include <string>
#include <thread>

#include "gtk/voice/CaptureTap.h"
#include "platform/AudioEngine.h"

typedef struct pa_simple pa_simple;

namespace pelko::gtk {

// The microphone through PulseAudio's simple API (PipeWire's pulse server
// answers it too): the default source, recorded at 16 kHz, mono, 16-bit, on
// a thread of its own. The server converts from whatever the source gives.
class PulseAudioCapture final : public AudioEngine {
public:
    // `server` as PULSE_SERVER spells it; none: the user's server, the way
    // every PulseAudio client finds it.
    explicit PulseAudioCapture(std::optional<std::string> server = std::nullopt);
    // Stops a capture still running.
    ~PulseAudioCapture() override;
    PulseAudioCapture(const PulseAudioCapture&) = delete;
    PulseAudioCapture& operator=(const PulseAudioCapture&) = delete;

    AudioInputNode& inputNode() override { return tap_; }
    // Connects, which blocks until the server has answered; false when
    // there is no server or no source. Starting a running engine does nothing.
    [[nodiscard]] bool start() override;
    // Returns once the capture thread has ended and the stream is closed.
    void stop() override;

private:
    void capture();

    std::optional<std::string> server_;
    CaptureTap tap_;
    pa_simple* stream_ = nullptr;
    std::atomic<bool> stopping_{false};
    std::thread thread_;
};

}  // namespace pelko::gtk
