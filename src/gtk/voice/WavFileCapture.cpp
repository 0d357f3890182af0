#include "gtk/voice/WavFileCapture.h"

#include <glib.h>
#include <pthread.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <iterator>
#include <optional>
#include <span>
#include <string_view>

namespace pelko::gtk {

namespace {

std::uint32_t littleEndian(const std::string& bytes, std::size_t at, std::size_t size) {
    std::uint32_t value = 0;
    for (std::size_t i = size; i-- > 0;) value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

// The samples of a RIFF WAVE file whose format chunk says PCM, 16 kHz, one
// channel, 16 bits; none for any other file. Chunks other than the format and
// the data are skipped; a data chunk longer than the file holds what is there.
std::optional<std::vector<std::int16_t>> readCaptureWav(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    const std::string bytes(std::istreambuf_iterator<char>(in), {});
    if (bytes.size() < 12 || bytes.compare(0, 4, "RIFF") != 0 || bytes.compare(8, 4, "WAVE") != 0) return std::nullopt;
    bool formatFits = false;
    for (std::size_t at = 12; at + 8 <= bytes.size();) {
        const std::string_view id(bytes.data() + at, 4);
        const std::size_t size = littleEndian(bytes, at + 4, 4);
        const std::size_t body = at + 8;
        const std::size_t available = std::min(size, bytes.size() - body);
        if (id == "fmt ") {
            if (available < 16) return std::nullopt;
            constexpr std::uint32_t kPcm = 1;
            formatFits = littleEndian(bytes, body, 2) == kPcm &&
                         littleEndian(bytes, body + 2, 2) == kCaptureFormat.channelCount &&
                         littleEndian(bytes, body + 4, 4) == kCaptureFormat.sampleRate &&
                         littleEndian(bytes, body + 14, 2) == 16;
            if (!formatFits) return std::nullopt;
        } else if (id == "data") {
            if (!formatFits) return std::nullopt;
            std::vector<std::int16_t> samples(available / 2);
            for (std::size_t i = 0; i < samples.size(); ++i)
                samples[i] = static_cast<std::int16_t>(littleEndian(bytes, body + 2 * i, 2));
            return samples;
        }
        at = body + size + (size & 1);  // chunks are padded to an even length
    }
    return std::nullopt;
}

}  // namespace

WavFileCapture::WavFileCapture(std::string path) : path_(std::move(path)) {}

WavFileCapture::~WavFileCapture() { stop(); }

bool WavFileCapture::start() {
    if (thread_.joinable()) return true;
    auto samples = readCaptureWav(path_);
    if (!samples) {
        g_warning("Cannot play %s as the microphone: not a 16 kHz mono 16-bit PCM WAV file", path_.c_str());
        return false;
    }
    stopping_ = false;
    tap_.beginCapture();
    thread_ = std::thread([this, samples = std::move(*samples)]() mutable { play(std::move(samples)); });
    // Named before start() returns, so that whoever looks sees it.
    pthread_setname_np(thread_.native_handle(), kAudioThreadName);
    return true;
}

void WavFileCapture::stop() {
    if (!thread_.joinable()) return;
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    thread_.join();
}

void WavFileCapture::play(std::vector<std::int16_t> samples) {
    using Clock = std::chrono::steady_clock;
    const Clock::time_point started = Clock::now();
    const auto rate = static_cast<std::int64_t>(kCaptureFormat.sampleRate);
    std::vector<std::int16_t> buffer(kCaptureBufferFrames);
    for (std::size_t played = 0;;) {
        // A buffer is heard once its last frame has been: the deadline counts frames from the start.
        const std::int64_t framesDue = static_cast<std::int64_t>(played + kCaptureBufferFrames);
        const Clock::time_point due = started + std::chrono::duration_cast<Clock::duration>(
                                                    std::chrono::microseconds(framesDue * 1'000'000 / rate));
        {
            std::unique_lock lock(mutex_);
            if (wake_.wait_until(lock, due, [this] { return stopping_; })) return;
        }
        const std::size_t from = std::min(played, samples.size());
        const std::size_t count = std::min(kCaptureBufferFrames, samples.size() - from);
        std::copy_n(samples.begin() + static_cast<std::ptrdiff_t>(from), count, buffer.begin());
        std::fill(buffer.begin() + static_cast<std::ptrdiff_t>(count), buffer.end(), std::int16_t{0});
        tap_.deliver(buffer);
        played += kCaptureBufferFrames;
    }
}

}  // namespace pelko::gtk
