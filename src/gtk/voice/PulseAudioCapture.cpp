#include "gtk/voice/PulseAudioCapture.h"

#include <glib.h>
#include <pthread.h>
#include <pulse/error.h>
#include <pulse/simple.h>

#include <array>
#include <cstdint>

namespace pelko::gtk {

namespace {

// The server sends, and the thread reads, 10 ms at a time: a stop waits for
// at most one such read. Buffers still go to the tap 1024 frames at a time.
constexpr std::size_t kReadFrames = 160;

}  // namespace

PulseAudioCapture::PulseAudioCapture(std::optional<std::string> server) : server_(std::move(server)) {}

PulseAudioCapture::~PulseAudioCapture() { stop(); }

bool PulseAudioCapture::start() {
    if (thread_.joinable()) return true;
    pa_sample_spec spec{};
    spec.format = PA_SAMPLE_S16NE;
    spec.rate = static_cast<std::uint32_t>(kCaptureFormat.sampleRate);
    spec.channels = static_cast<std::uint8_t>(kCaptureFormat.channelCount);
    // Recording reads only maxlength and fragsize; the server picks the rest.
    pa_buffer_attr attributes{};
    attributes.maxlength = static_cast<std::uint32_t>(-1);
    attributes.tlength = static_cast<std::uint32_t>(-1);
    attributes.prebuf = static_cast<std::uint32_t>(-1);
    attributes.minreq = static_cast<std::uint32_t>(-1);
    attributes.fragsize = static_cast<std::uint32_t>(kReadFrames * sizeof(std::int16_t));
    int error = 0;
    stream_ = pa_simple_new(server_ ? server_->c_str() : nullptr, "Pelko", PA_STREAM_RECORD, nullptr, "Voice input",
                            &spec, nullptr, &attributes, &error);
    if (!stream_) {
        g_warning("Cannot record from the microphone: %s", pa_strerror(error));
        return false;
    }
    stopping_ = false;
    tap_.beginCapture();
    thread_ = std::thread([this] { capture(); });
    // Named before start() returns, so that whoever looks sees it.
    pthread_setname_np(thread_.native_handle(), kAudioThreadName);
    return true;
}

void PulseAudioCapture::stop() {
    if (!thread_.joinable()) return;
    stopping_ = true;
    thread_.join();
    // Ends the connection and its own thread.
    pa_simple_free(stream_);
    stream_ = nullptr;
}

void PulseAudioCapture::capture() {
    std::array<std::int16_t, kReadFrames> samples{};
    while (!stopping_) {
        int error = 0;
        if (pa_simple_read(stream_, samples.data(), sizeof(samples), &error) < 0) {
            // The server went away or dropped the stream: capture ends, silently for the core.
            g_warning("Recording from the microphone stopped: %s", pa_strerror(error));
            return;
        }
        tap_.deliver(samples);
    }
}

}  // namespace pelko::gtk
