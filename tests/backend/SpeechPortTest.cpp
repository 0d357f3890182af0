// The Linux speech recognizer, PocketSphinx, fed the spoken WAV files as the
// audio thread feeds it, with the test grammar so that transcripts are the
// same everywhere. What the core makes of the results is the core's tests' business.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "Harness.h"
#include "gtk/voice/SpeechPort.h"

namespace pelko::e2e {
namespace {

constexpr std::size_t kFrames = 1024;

// A spoken fixture as the capture delivers it: buffers of 1024 frames in
// `format`, each 16 kHz mono sample repeated to fill the rate and channels.
std::vector<AudioPCMBuffer> buffersOf(const char* name, AudioFormat format = {16000, 1}) {
    const auto repeat = static_cast<std::size_t>(format.sampleRate / 16000) * format.channelCount;
    std::vector<float> samples;
    for (const std::int16_t sample : wavSamples(std::string(PELKO_VOICE_DIR) + "/" + name))
        samples.insert(samples.end(), repeat, static_cast<float>(sample) / 32768.0f);
    std::vector<AudioPCMBuffer> buffers;
    const std::size_t perBuffer = kFrames * format.channelCount;
    for (std::size_t at = 0; at < samples.size(); at += perBuffer) {
        const auto end = samples.begin() + static_cast<std::ptrdiff_t>(std::min(at + perBuffer, samples.size()));
        buffers.push_back({format, {samples.begin() + static_cast<std::ptrdiff_t>(at), end}, nullptr});
    }
    return buffers;
}

// What a task's handler was called with, as "partial <text>", "final <text>"
// or "error", and on which threads.
struct Delivered {
    std::vector<std::string> seen;
    std::set<std::thread::id> threads;
    bool ended() const { return !seen.empty() && (seen.back().starts_with("final") || seen.back() == "error"); }
};

class Deliveries {
public:
    SpeechRecognitionResultHandler handler() {
        return [this](const std::optional<SpeechRecognitionResult>& result,
                      const std::optional<SpeechRecognitionError>& error) {
            std::unique_lock lock(mutex_);
            if (result) delivered_.seen.push_back((result->isFinal ? "final " : "partial ") + result->formattedString);
            if (error) delivered_.seen.push_back(error->localizedDescription.empty() ? "error, undescribed" : "error");
            delivered_.threads.insert(std::this_thread::get_id());
            changed_.notify_all();
            // Holds the recognizer's thread, as a slow decoder would, until let go.
            if (holding_) released_ = changed_.wait_for(lock, 10s, [this] { return !holding_; });
        };
    }
    // From its first call until `letGo`, the handler keeps the recognizer's thread.
    void hold() { holding_ = true; }
    [[nodiscard]] bool letGo() {
        std::lock_guard lock(mutex_);
        holding_ = false;
        changed_.notify_all();
        return released_;
    }
    Delivered waitUntil(const std::function<bool(const Delivered&)>& done) {
        std::unique_lock lock(mutex_);
        changed_.wait_for(lock, 20s, [&] { return done(delivered_); });
        return delivered_;
    }
    Delivered now() {
        return waitUntil([](const Delivered&) { return true; });
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    Delivered delivered_;
    bool holding_ = false;
    bool released_ = true;
};

gtk::SpeechModel withGrammar() { return {gtk::defaultSpeechModelDirectory(), PELKO_VOICE_GRAMMAR}; }

struct Recognition {
    explicit Recognition(gtk::SpeechPort& speech)
        : recognizer(speech.recognizerForLocale("en-US")), request(speech.makeAudioBufferRecognitionRequest()) {}
    void start() { task = recognizer->recognitionTask(request, deliveries.handler()); }
    // All of a file at once, then its end: what the handler was called with.
    std::vector<std::string> hear(const char* file) {
        start();
        for (const auto& buffer : buffersOf(file)) request->appendAudioPCMBuffer(buffer);
        request->endAudio();
        return deliveries.waitUntil(&Delivered::ended).seen;
    }

    Deliveries deliveries;
    std::shared_ptr<SpeechRecognizer> recognizer;
    std::shared_ptr<SpeechAudioBufferRecognitionRequest> request;
    std::shared_ptr<SpeechRecognitionTask> task;
};

TEST(SpeechPort, SpeechGivesChangingPartialResultsThenTheTranscriptOnTheRecognizersOwnThread) {
    // As the capture delivers it, and at a rate and channel count it does not.
    for (const AudioFormat format : {AudioFormat{16000, 1}, AudioFormat{48000, 2}}) {
        SCOPED_TRACE(testing::Message() << format.sampleRate << " Hz, " << format.channelCount << " channels");
        const auto threadsBefore = threadIds();
        {
            gtk::SpeechPort speech(withGrammar());
            Recognition recognition(speech);
            ASSERT_TRUE(recognition.recognizer && recognition.recognizer->isAvailable());
            EXPECT_TRUE(recognition.recognizer->supportsOnDeviceRecognition());
            recognition.request->setShouldReportPartialResults(true);
            recognition.deliveries.hold();
            recognition.start();

            // The speech lasts until about 1 s: a partial result comes before the last 0.5 s.
            const auto buffers = buffersOf("hello-world.wav", format);
            const std::size_t before = buffers.size() - 8;
            for (std::size_t i = 0; i < before; ++i) recognition.request->appendAudioPCMBuffer(buffers[i]);
            ASSERT_FALSE(recognition.deliveries.waitUntil([](auto& now) { return !now.seen.empty(); }).seen.empty());
            // The recognizer's thread is held in the handler: handing over audio does not wait for it.
            for (std::size_t i = before; i < buffers.size(); ++i) recognition.request->appendAudioPCMBuffer(buffers[i]);
            recognition.request->endAudio();
            EXPECT_TRUE(recognition.deliveries.letGo()) << "the audio thread waited for the recognizer";

            const auto [seen, threads] = recognition.deliveries.waitUntil(&Delivered::ended);
            ASSERT_GE(seen.size(), 2u);
            EXPECT_EQ(seen.back(), "final hello world") << testing::PrintToString(seen);
            for (std::size_t i = 0; i + 1 < seen.size(); ++i) EXPECT_TRUE(seen[i].starts_with("partial ")) << seen[i];
            EXPECT_EQ(std::ranges::adjacent_find(seen), seen.end()) << "the same result twice in a row";
            EXPECT_EQ(threads.size(), 1u);
            EXPECT_FALSE(threads.contains(std::this_thread::get_id()));
        }
        EXPECT_TRUE(std::ranges::includes(threadsBefore, threadIds())) << "a thread outlived the speech object";
    }
}

TEST(SpeechPort, SilenceEndsWithAnEmptyFinalResultAndNothingBefore) {
    gtk::SpeechPort speech(withGrammar());
    EXPECT_EQ(Recognition(speech).hear("silence.wav"), std::vector<std::string>{"final "});
}

// A recording does not hear differently for what came before it.
TEST(SpeechPort, TheSameSpeechGivesTheSameWordsEachTime) {
    gtk::SpeechPort speech(withGrammar());
    for (int time = 1; time <= 3; ++time)
        EXPECT_EQ(Recognition(speech).hear("hello-world.wav").back(), "final hello world") << "time " << time;
}

// Each way a task can be stopped while speech still comes; a later task on
// the same recognizer's thread shows when the stopped one had its chance to deliver.
TEST(SpeechPort, ACancelledTaskDeliversNothingMoreAndTheNextOneRuns) {
    enum class Stop { cancel, dropTask, dropRecognizer, destroySpeech };
    for (const Stop stop : {Stop::cancel, Stop::dropTask, Stop::dropRecognizer, Stop::destroySpeech}) {
        SCOPED_TRACE(static_cast<int>(stop));
        const auto threadsBefore = threadIds();
        auto speech = std::make_unique<gtk::SpeechPort>(withGrammar());
        Recognition first(*speech);
        first.start();
        const auto buffers = buffersOf("hello-world.wav");
        const std::size_t half = buffers.size() / 2;
        for (std::size_t i = 0; i < half; ++i) first.request->appendAudioPCMBuffer(buffers[i]);
        ASSERT_FALSE(first.deliveries.waitUntil([](auto& now) { return !now.seen.empty(); }).seen.empty());

        switch (stop) {
            case Stop::cancel: first.task->cancel(); break;
            case Stop::dropTask: first.task.reset(); break;
            case Stop::dropRecognizer: first.recognizer.reset(); break;
            case Stop::destroySpeech: speech.reset(); break;
        }
        const std::size_t delivered = first.deliveries.now().seen.size();
        for (std::size_t i = half; i < buffers.size(); ++i) first.request->appendAudioPCMBuffer(buffers[i]);
        first.request->endAudio();

        if (speech) {
            EXPECT_EQ(Recognition(*speech).hear("silence.wav"), std::vector<std::string>{"final "});
        } else {
            EXPECT_TRUE(std::ranges::includes(threadsBefore, threadIds())) << "a thread outlived the speech object";
        }
        EXPECT_EQ(first.deliveries.now().seen.size(), delivered) << testing::PrintToString(first.deliveries.now().seen);
    }
}

TEST(SpeechPort, OnlyUsEnglishHasARecognizerAndAMissingModelIsUnavailableAndFailsItsTasks) {
    gtk::SpeechPort installed(withGrammar());
    const std::pair<const char*, bool> locales[] = {
        {"en-US", true}, {"en_us", true}, {"en-GB", false}, {"fr-FR", false}};
    for (const auto& [locale, recognized] : locales)
        EXPECT_EQ(installed.recognizerForLocale(locale) != nullptr, recognized) << locale;

    const std::string empty = temporaryHome() + "/no-speech-model";
    std::filesystem::create_directories(empty);
    const gtk::SpeechModel missing{empty, ""};
    EXPECT_TRUE(withGrammar().isInstalled());
    EXPECT_FALSE(missing.isInstalled());
    gtk::SpeechPort speech(missing);
    Recognition recognition(speech);
    ASSERT_TRUE(recognition.recognizer);
    EXPECT_FALSE(recognition.recognizer->isAvailable());
    EXPECT_EQ(recognition.hear("silence.wav"), std::vector<std::string>{"error"});
}

}  // namespace
}  // namespace pelko::e2e
