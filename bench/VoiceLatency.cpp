// Voice latency in the Linux app against the demo service, with a WAV file
// standing in for the microphone: from the second push-to-talk press to the
// transcript handed to the page's composer, and from there to the message
// sent. Spoken replies are off, so each run ends when the page has sent.
//   pelko-voice-latency <runs> <wav> <grammar or ""> <expected transcript>
// Run it through bench/voice-latency.sh, which gives it a display, a session
// bus and a home of its own.
#include <gtk/gtk.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "DemoService.h"
#include "app/AppDelegate.h"
#include "app/BuildConfig.h"
#include "gtk/app/ApplicationLifecycle.h"
#include "gtk/app/Platform.h"
#include "voice/SpeakRepliesSetting.h"
#include "voice/VoiceController.h"
#include "voice/VoiceStatusTexts.h"

namespace {

using namespace pelko;
using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

// The time each voice status appeared, taken on its way to the status line.
class StatusTimes {
public:
    void watch(VoiceController& voice) {
        voice.onStatusChange = [this, shown = std::move(voice.onStatusChange)](const std::string& status) {
            this->shown.emplace_back(status, Clock::now());
            if (shown) shown(status);
        };
    }
    // When `status` first showed since `from`, running the main loop until it does.
    std::optional<Clock::time_point> await(const std::string& status, std::size_t from,
                                           std::chrono::seconds timeout = 30s) {
        const auto deadline = Clock::now() + timeout;
        while (Clock::now() < deadline) {
            for (std::size_t i = from; i < shown.size(); ++i)
                if (shown[i].first == status) return shown[i].second;
            g_main_context_iteration(nullptr, TRUE);
        }
        return std::nullopt;
    }
    std::vector<std::pair<std::string, Clock::time_point>> shown;
};

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

double milliseconds(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

}  // namespace

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fprintf(stderr, "usage: %s <runs> <wav> <grammar> <expected transcript>\n", argv[0]);
        return 2;
    }
    const int runs = std::max(1, std::atoi(argv[1]));
    const std::string wav = argv[2], expected = argv[4];

    demo::DemoService demo(build::kVersion);  // no newer version: no update alert
    if (!demo.start(0)) return 1;
    GtkApplication* application = gtk_application_new("ai.pelko.Desktop.Bench", G_APPLICATION_NON_UNIQUE);
    if (!g_application_register(G_APPLICATION(application), nullptr, nullptr)) return 1;

    gtk::SpeechModel model;
    model.grammar = argv[3];  // empty: the language model
    auto platform = std::make_unique<gtk::Platform>(application, gtk::DataDirectories::forCurrentUser(),
                                                         build::kVersion, model);
    platform->setAudioFile(wav);
    Ports ports = platform->ports();
    setSpeakRepliesSetting(*ports.userDefaults, false);
    const std::string origin = "http://127.0.0.1:" + std::to_string(demo.port());
    auto delegate = std::make_shared<AppDelegate>(
        ports, std::get<AppConfig>(makeAppConfig(platform->urls(), origin, HostPlatform::linux, true)));
    auto lifecycle = std::make_unique<gtk::ApplicationLifecycle>(application, platform->application(), *delegate);
    g_application_activate(G_APPLICATION(application));
    StatusTimes times;
    times.watch(*delegate->voice());

    const std::string transcript = std::string(voice_status::kTranscriptPrefix) + expected;
    const std::string sending = std::string(voice_status::kSendingPrefix) + expected;
    std::vector<double> toComposer, toSent;
    int finalized = 0;
    for (int run = 0; run < runs; ++run) {
        const std::size_t start = times.shown.size();
        delegate->pushToTalkToggled();
        // Pressed again once the whole utterance shows, as a person would.
        if (!times.await(transcript, start)) {
            std::fprintf(stderr, "run %d: the transcript never showed\n", run + 1);
            return 1;
        }
        const std::size_t pressed = times.shown.size();
        const auto second = Clock::now();
        delegate->pushToTalkToggled();
        const auto handed = times.await(sending, pressed);
        const auto sent = times.await(voice_status::kSentRepliesOff, pressed);
        if (!handed || !sent) {
            std::fprintf(stderr, "run %d: the message was not sent\n", run + 1);
            return 1;
        }
        toComposer.push_back(milliseconds(*handed - second));
        toSent.push_back(milliseconds(*sent - *handed));
        // The finalize timer (2.5 s) ended it, not the recognizer's final result.
        finalized += toComposer.back() >= 2400;
        std::printf("run %d: press to composer %.0f ms, composer to sent %.0f ms\n", run + 1, toComposer.back(),
                    toSent.back());
    }
    std::printf("median over %d runs: press to composer %.0f ms, composer to sent %.0f ms; "
                "%d of %d ended by the finalize timer\n",
                runs, median(toComposer), median(toSent), finalized, runs);

    lifecycle.reset();
    platform->application().setMainMenu(nullptr);
    delegate.reset();
    platform.reset();
    g_object_unref(application);
    return finalized ? 3 : 0;
}
