// VoiceController: the recording itself: the microphone's tap feeding the
// recognizer, the second press, the finalize timer and the release of both.

#include "platform/AudioEngine.h"
#include "platform/MainQueue.h"
#include "platform/SpeechRecognizer.h"
#include "platform/WebView.h"
#include "voice/SilencePageScript.h"
#include "voice/TranscriptTrim.h"
#include "voice/VoiceController.h"
#include "voice/VoiceStatusTexts.h"

namespace pelko {

namespace {
constexpr int kTapBus = 0;
constexpr unsigned kTapBufferSize = 1024;  // frames
constexpr Duration kFinalizeDelay{2500};
}  // namespace

void VoiceController::startRecording() {
    if (state_ != VoiceState::idle) return;
    if (!recognizer_ || !recognizer_->isAvailable()) {
        setStatus(voice_status::kRecognizerUnavailable);
        return;
    }
    latestTranscript_.clear();
    stoppingForSend_ = false;

    std::unique_ptr<AudioEngine> engine = ports_.audio.makeAudioEngine();
    std::shared_ptr<SpeechAudioBufferRecognitionRequest> newRequest = ports_.speech.makeAudioBufferRecognitionRequest();
    if (!engine) {
        setStatus(voice_status::kMicrophoneFailed);
        return;
    }
    if (!newRequest) {
        setStatus(voice_status::kRecognizerUnavailable);
        return;
    }
    newRequest->setShouldReportPartialResults(true);
    if (recognizer_->supportsOnDeviceRecognition()) newRequest->setRequiresOnDeviceRecognition(true);

    AudioInputNode& input = engine->inputNode();
    const AudioFormat format = input.outputFormatForBus(kTapBus);
    // Without a usable input device the platform reports a format of no
    // samples or no channels, which no tap can take.
    if (!(format.sampleRate > 0) || format.channelCount == 0) {
        setStatus(voice_status::kMicrophoneFailed);
        return;
    }
    // Reads the current request for every buffer rather than keeping this one:
    // once the recording is over, buffers still in flight go nowhere.
    std::weak_ptr<TapRequest> weakTarget = tapRequest_;
    const bool tapped = input.installTapOnBus(kTapBus, kTapBufferSize, format,
                                              [weakTarget](const AudioPCMBuffer& buffer, const AudioTime&) {
                                                  auto target = weakTarget.lock();
                                                  if (!target) return;
                                                  if (auto current = target->load()) current->appendAudioPCMBuffer(buffer);
                                              });
    if (!tapped) {
        setStatus(voice_status::kMicrophoneFailed);
        return;
    }

    // The page stops reading aloud before the microphone opens, or the
    // recording would take down the reply and send it back. Nothing waits
    // for the script: a page it fails on records all the same.
    if (auto view = webView_.lock()) view->evaluateJavaScript(silencePageScript());

    if (!engine->start()) {
        setStatus(voice_status::kMicrophoneFailed);
        input.removeTapOnBus(kTapBus);
        return;  // the engine and the request go with this scope
    }

    audioEngine_ = std::move(engine);
    setRequest(newRequest);
    const unsigned long long recording = ++recordingNumber_;
    std::weak_ptr<VoiceController> weakSelf = weak_from_this();
    MainQueue* mainQueue = &ports_.mainQueue;
    // Runs on the recognizer's queue: only the result is read there. The
    // controller is taken only on the main queue, so that it is never
    // released (and torn down) on the recognizer's queue.
    task_ = recognizer_->recognitionTask(
        newRequest, [weakSelf, mainQueue, recording](const std::optional<SpeechRecognitionResult>& result,
                                                     const std::optional<SpeechRecognitionError>& error) {
            if (weakSelf.expired()) return;
            if (result) {
                mainQueue->async([weakSelf, recording, text = result->formattedString] {
                    if (auto self = weakSelf.lock()) self->recognized(recording, text);
                });
                if (result->isFinal) {
                    mainQueue->async([weakSelf, recording] {
                        if (auto self = weakSelf.lock()) self->recognitionEndedWithStopValue(recording);
                    });
                    return;
                }
            }
            if (error) {
                mainQueue->async([weakSelf, recording] {
                    if (auto self = weakSelf.lock()) self->recognitionEnded(recording, false);
                });
            }
        });
    state_ = VoiceState::recording;
    setStatus(voice_status::kListeningStarted);
}

void VoiceController::recognized(unsigned long long recording, const std::string& transcript) {
    // A task that is not the running recording's (one cancelled by an earlier
    // finish) must not show its text, nor hand it to the next message.
    if (recording != recordingNumber_ || state_ != VoiceState::recording) return;
    latestTranscript_ = transcript;
    setStatus(transcript.empty() ? std::string(voice_status::kListening) : voice_status::kTranscriptPrefix + transcript);
}

void VoiceController::recognitionEndedWithStopValue(unsigned long long recording) {
    // `stoppingForSend_` as it is when the final result is handled, not when it was produced.
    recognitionEnded(recording, stoppingForSend_);
}

void VoiceController::recognitionEnded(unsigned long long recording, bool send) {
    // The end of an earlier task must not end the recording that runs now.
    if (recording != recordingNumber_) return;
    finishRecording(send);
}

void VoiceController::stopRecording(bool send) {
    if (state_ != VoiceState::recording) return;
    stoppingForSend_ = send;
    if (audioEngine_) {
        audioEngine_->stop();
        audioEngine_->inputNode().removeTapOnBus(kTapBus);
    }
    if (request_) request_->endAudio();
    setStatus(send ? voice_status::kTranscribing : voice_status::kCancelled);

    if (finalizeTimer_) finalizeTimer_->invalidate();
    std::weak_ptr<VoiceController> weakSelf = weak_from_this();
    // The recognizer gets this long to deliver its final result; then the last partial one counts.
    finalizeTimer_ = ports_.mainQueue.scheduledTimer(kFinalizeDelay, [weakSelf, send] {
        if (auto self = weakSelf.lock()) self->finishRecording(send);
    });
}

void VoiceController::finishRecording(bool send) {
    // Whichever of the final result, an error and the timer comes first finishes; the others find `idle`.
    if (state_ != VoiceState::recording) return;
    state_ = VoiceState::idle;
    releaseCapture();

    const std::string transcript = trimWhitespaceAndNewlines(latestTranscript_);
    latestTranscript_.clear();

    if (dictating_) {
        dictating_ = false;
        if (transcript.empty()) {
            setStatus(voice_status::kNoSpeech);
        } else if (webView_.lock()) {
            insertIntoComposer(transcript);  // the status follows when the script completes
        }
        postVoiceState("idle");
        return;
    }
    if (send && !transcript.empty()) {
        if (webView_.lock()) {
            setStatus(voice_status::kSendingPrefix + transcript);
            submitToChat(transcript);
        }
        return;
    }
    setStatus(voice_status::kReady);
}

void VoiceController::releaseCapture() {
    if (finalizeTimer_) {
        finalizeTimer_->invalidate();
        finalizeTimer_.reset();
    }
    if (audioEngine_) {
        audioEngine_->stop();
        audioEngine_->inputNode().removeTapOnBus(kTapBus);
    }
    if (request_) {
        request_->endAudio();
        setRequest(nullptr);
    }
    if (task_) {
        task_->cancel();
        task_.reset();
    }
    audioEngine_.reset();
}

}  // namespace pelko
