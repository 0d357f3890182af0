// The Linux capture engines: a WAV file played as the microphone, and
// PulseAudio, without a server and through a private one this test starts.
// What the core does with the buffers is the core's tests' business.
#include <gio/gio.h>
#include <gtest/gtest.h>

#include <sys/prctl.h>

#include <algorithm>
#include <cmath>
#include <condition_variable>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <mutex>
#include <set>
#include <string_view>
#include <thread>

#include "Harness.h"
#include "gtk/voice/PulseAudioCapture.h"
#include "gtk/voice/WavFileCapture.h"

namespace pelko::e2e {
namespace {

using Clock = std::chrono::steady_clock;
constexpr std::size_t kFrames = 1024;
constexpr AudioFormat kFormat{16000, 1};

// What a tap receives, from the audio thread.
class Recording {
public:
    AudioTapBlock block() {
        return [this](const AudioPCMBuffer& buffer, const AudioTime& when) {
            std::lock_guard lock(mutex_);
            buffers_.push_back(buffer);
            times_.push_back(when.sampleTime);
            arrived_.notify_all();
        };
    }
    // Whether `count` buffers have come within `timeout`.
    bool waitFor(std::size_t count, std::chrono::milliseconds timeout) {
        std::unique_lock lock(mutex_);
        return arrived_.wait_for(lock, timeout, [&] { return buffers_.size() >= count; });
    }
    std::size_t count() {
        std::lock_guard lock(mutex_);
        return buffers_.size();
    }
    // Every buffer was 1024 frames of 16 kHz mono, each starting where the one before ended.
    void expectContiguousBuffers() {
        std::lock_guard lock(mutex_);
        for (std::size_t i = 0; i < buffers_.size(); ++i) {
            ASSERT_EQ(buffers_[i].format, kFormat) << i;
            ASSERT_EQ(buffers_[i].frameLength(), kFrames) << i;
            ASSERT_EQ(times_[i], static_cast<std::int64_t>(i * kFrames)) << i;
        }
    }
    std::vector<float> samples() {
        std::lock_guard lock(mutex_);
        std::vector<float> all;
        for (const auto& buffer : buffers_) all.insert(all.end(), buffer.samples.begin(), buffer.samples.end());
        return all;
    }

private:
    std::mutex mutex_;
    std::condition_variable arrived_;
    std::vector<AudioPCMBuffer> buffers_;
    std::vector<std::int64_t> times_;
};

struct WavShape {
    std::uint16_t formatTag = 1;  // PCM
    std::uint16_t channels = 1;
    std::uint32_t rate = 16000;
    std::uint16_t bits = 16;
};

void put(std::string& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>(value >> (8 * i) & 0xff));
}

// A WAV file with an odd-sized chunk before its data, which readers skip with its padding byte.
std::string writeWav(const std::string& name, const WavShape& shape, const std::vector<std::int16_t>& samples) {
    std::string body = "WAVEfmt ";
    put(body, 16, 4);
    put(body, shape.formatTag, 2);
    put(body, shape.channels, 2);
    put(body, shape.rate, 4);
    put(body, shape.rate * shape.channels * shape.bits / 8, 4);
    put(body, shape.channels * shape.bits / 8, 2);
    put(body, shape.bits, 2);
    body += "LIST";
    put(body, 3, 4);
    body += std::string("abc\0", 4);
    body += "data";
    put(body, static_cast<std::uint32_t>(samples.size() * 2), 4);
    for (const std::int16_t sample : samples) put(body, static_cast<std::uint16_t>(sample), 2);
    std::string file = "RIFF";
    put(file, static_cast<std::uint32_t>(body.size()), 4);
    const std::string path = temporaryHome() + "/" + name;
    std::ofstream(path, std::ios::binary) << file << body;
    return path;
}

TEST(AudioPort, AWavFilePlaysItsSamplesInRealTimeThenSilence) {
    // Two and a half buffers, every sample different, down to -32768.
    std::vector<std::int16_t> file(2 * kFrames + kFrames / 2);
    for (std::size_t i = 0; i < file.size(); ++i) file[i] = static_cast<std::int16_t>(static_cast<int>(i) * 25 - 32768);
    const auto before = threadIds();
    gtk::WavFileCapture engine(writeWav("ramp.wav", {}, file));
    EXPECT_EQ(engine.inputNode().outputFormatForBus(0), kFormat);
    Recording recording;
    ASSERT_TRUE(engine.inputNode().installTapOnBus(0, kFrames, kFormat, recording.block()));

    const auto started = Clock::now();
    ASSERT_TRUE(engine.start());
    EXPECT_FALSE(noNewThreadSince(before));
    ASSERT_TRUE(recording.waitFor(16, 10s));
    // 16 buffers are 1.024 s of sound: never sooner, however fast the machine.
    EXPECT_GE(Clock::now() - started, 1000ms);
    engine.stop();
    engine.inputNode().removeTapOnBus(0);
    EXPECT_TRUE(noNewThreadSince(before));

    recording.expectContiguousBuffers();
    const std::vector<float> heard = recording.samples();
    ASSERT_GE(heard.size(), 16 * kFrames);
    for (std::size_t i = 0; i < heard.size(); ++i) {
        const float expected = i < file.size() ? static_cast<float>(file[i]) / 32768.0f : 0.0f;
        ASSERT_EQ(heard[i], expected) << "sample " << i;
    }
}

TEST(AudioPort, ATapRemovedWhileTheEngineRunsIsNotCalledAgainAndDestroyingTheEngineStopsIt) {
    const auto before = threadIds();
    auto engine = std::make_unique<gtk::WavFileCapture>(writeWav("short.wav", {}, std::vector<std::int16_t>(100, 7)));
    Recording recording;
    ASSERT_TRUE(engine->inputNode().installTapOnBus(0, kFrames, kFormat, recording.block()));
    ASSERT_TRUE(engine->start());
    ASSERT_TRUE(recording.waitFor(1, 5s));
    engine->inputNode().removeTapOnBus(0);
    const std::size_t atRemoval = recording.count();
    // Three more buffers' time, still running.
    EXPECT_FALSE(recording.waitFor(atRemoval + 1, 200ms));
    engine.reset();
    EXPECT_TRUE(noNewThreadSince(before));
}

TEST(AudioPort, AWavFileThatIsNot16kHzMono16BitPcmIsRefused) {
    const std::vector<std::int16_t> samples(kFrames, 100);
    const std::pair<const char*, WavShape> shapes[] = {
        {"8k.wav", {1, 1, 8000, 16}},
        {"stereo.wav", {1, 2, 16000, 16}},
        {"8bit.wav", {1, 1, 16000, 8}},
        {"float.wav", {3, 1, 16000, 32}},
    };
    std::vector<std::string> paths;
    for (const auto& [name, shape] : shapes) paths.push_back(writeWav(name, shape, samples));
    paths.push_back(temporaryHome() + "/missing.wav");
    paths.push_back(temporaryHome() + "/text.wav");
    std::ofstream(paths.back()) << "RIFF....WAVE but no chunks at all\n";
    const auto before = threadIds();
    for (const auto& path : paths) {
        gtk::WavFileCapture engine(path);
        EXPECT_FALSE(engine.start()) << path;
    }
    EXPECT_TRUE(noNewThreadSince(before));
}

TEST(AudioPort, PulseAudioWithoutAServerDoesNotStartAndLeavesNoThread) {
    const auto before = threadIds();
    gtk::PulseAudioCapture engine("unix:" + temporaryHome() + "/no-server/native");
    EXPECT_EQ(engine.inputNode().outputFormatForBus(0), kFormat);
    const auto starting = Clock::now();
    EXPECT_FALSE(engine.start());
    const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - starting);
    RecordProperty("start_failure_ms", static_cast<int>(took.count()));
    EXPECT_LT(took, 1s);
    EXPECT_TRUE(noNewThreadSince(before));
}

// A PulseAudio server of this test's own, on a socket in `folder`, whose one
// sink discards what it plays; its monitor is the only source, so the default.
// It dies with this process, however that ends.
class PrivatePulseServer {
public:
    explicit PrivatePulseServer(const std::string& folder) : socket_(folder + "/native") {
        std::filesystem::create_directories(folder);
        GSubprocessLauncher* launcher = g_subprocess_launcher_new(G_SUBPROCESS_FLAGS_STDERR_PIPE);
        g_subprocess_launcher_set_child_setup(
            launcher, [](gpointer) { prctl(PR_SET_PDEATHSIG, SIGKILL); }, nullptr, nullptr);
        const std::string sink = "module-null-sink sink_name=pelko_test rate=16000 channels=1";
        const std::string protocol = "module-native-protocol-unix auth-anonymous=1 socket=" + socket_;
        const gchar* argv[] = {"pulseaudio",       "-n",
                               "--daemonize=no",   "--use-pid-file=no",
                               "--system=no",      "--exit-idle-time=-1",
                               "--realtime=no",    "--high-priority=no",
                               "--no-cpu-limit",   "--log-target=stderr",
                               "--log-level=info", "-L",
                               sink.c_str(),       "-L",
                               protocol.c_str(),   nullptr};
        process_ = g_subprocess_launcher_spawnv(launcher, argv, nullptr);
        g_object_unref(launcher);
        if (!process_) return;
        // Its log tells when it is ready, and is read to the end so that the server never blocks on it.
        reader_ = std::thread([this, log = g_data_input_stream_new(g_subprocess_get_stderr_pipe(process_))] {
            while (char* line = g_data_input_stream_read_line(log, nullptr, nullptr, nullptr)) {
                if (std::string_view(line).find("Daemon startup complete.") != std::string_view::npos) {
                    std::lock_guard lock(mutex_);
                    ready_ = true;
                    changed_.notify_all();
                }
                g_free(line);
            }
            g_object_unref(log);
            std::lock_guard lock(mutex_);
            ended_ = true;
            changed_.notify_all();
        });
    }
    ~PrivatePulseServer() {
        if (!process_) return;
        g_subprocess_send_signal(process_, SIGTERM);
        g_subprocess_wait(process_, nullptr, nullptr);
        reader_.join();
        g_object_unref(process_);
    }

    [[nodiscard]] bool waitUntilReady() {
        if (!process_) return false;
        std::unique_lock lock(mutex_);
        changed_.wait_for(lock, 20s, [&] { return ready_ || ended_; });
        return ready_;
    }
    std::string address() const { return "unix:" + socket_; }

private:
    std::string socket_;
    GSubprocess* process_ = nullptr;
    std::thread reader_;
    std::mutex mutex_;
    std::condition_variable changed_;
    bool ready_ = false;
    bool ended_ = false;
};

// The first and last sample louder than -26 dBFS, in frames.
std::pair<std::size_t, std::size_t> loudSpan(const std::vector<float>& samples) {
    const auto loud = [](float sample) { return std::abs(sample) > 0.05f; };
    const auto first = std::ranges::find_if(samples, loud);
    const auto last = std::find_if(samples.rbegin(), samples.rend(), loud);
    if (first == samples.end()) return {0, 0};
    return {static_cast<std::size_t>(first - samples.begin()), static_cast<std::size_t>(samples.rend() - last)};
}

TEST(AudioPort, PulseAudioRecordsTheDefaultSourceWhileSomethingPlaysIntoIt) {
    const std::string file = std::string(PELKO_VOICE_DIR) + "/hello-world.wav";
    std::vector<float> spoken;
    for (const std::int16_t sample : wavSamples(file)) spoken.push_back(static_cast<float>(sample) / 32768.0f);
    const auto [spokenStart, spokenEnd] = loudSpan(spoken);
    ASSERT_GT(spokenEnd, spokenStart);

    PrivatePulseServer server(temporaryHome() + "/pulse");
    ASSERT_TRUE(server.waitUntilReady());
    const auto before = threadIds();
    gtk::PulseAudioCapture engine(server.address());
    Recording recording;
    ASSERT_TRUE(engine.inputNode().installTapOnBus(0, kFrames, kFormat, recording.block()));
    ASSERT_TRUE(engine.start());
    GError* error = nullptr;
    GSubprocess* player = g_subprocess_new(G_SUBPROCESS_FLAGS_NONE, &error, "paplay", "--server",
                                           server.address().c_str(), file.c_str(), nullptr);
    ASSERT_TRUE(player) << error->message;
    // paplay ends once the sink has played it all; the monitor hears only what plays.
    const bool played = g_subprocess_wait_check(player, nullptr, &error);
    g_object_unref(player);
    ASSERT_TRUE(played) << error->message;
    // The speech and a quarter of a second after it.
    ASSERT_TRUE(recording.waitFor((spokenEnd + 4000) / kFrames + 1, 5s));
    engine.stop();
    engine.inputNode().removeTapOnBus(0);
    EXPECT_TRUE(noNewThreadSince(before));

    recording.expectContiguousBuffers();
    const auto [heardStart, heardEnd] = loudSpan(recording.samples());
    // The speech, as long as in the file, give or take 20 ms.
    EXPECT_NEAR(static_cast<double>(heardEnd - heardStart), static_cast<double>(spokenEnd - spokenStart), 320.0);
}

}  // namespace
}  // namespace pelko::e2e
