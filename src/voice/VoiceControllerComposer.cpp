// VoiceController: the transcript typed into the page's composer, sent or
// not, and the reply watcher started after a message is sent.

#include "platform/WebView.h"
#include "voice/ComposerScripts.h"
#include "voice/ReplyWatcherScript.h"
#include "voice/VoiceController.h"
#include "voice/VoiceStatusTexts.h"

namespace pelko {

void VoiceController::insertIntoComposer(const std::string& transcript) {
    auto view = webView_.lock();
    if (!view) return;
    std::weak_ptr<VoiceController> weakSelf = weak_from_this();
    view->evaluateJavaScript(composerInsertScript(transcript),
                             [weakSelf](const std::optional<nlohmann::json>& result, const std::optional<ScriptError>& error) {
                                 if (auto self = weakSelf.lock()) self->insertCompleted(pageScriptSucceeded(result, error));
                             });
}

void VoiceController::submitToChat(const std::string& transcript) {
    auto view = webView_.lock();
    if (!view) return;
    std::weak_ptr<VoiceController> weakSelf = weak_from_this();
    view->evaluateJavaScript(composerSubmitScript(transcript),
                             [weakSelf](const std::optional<nlohmann::json>& result, const std::optional<ScriptError>& error) {
                                 if (auto self = weakSelf.lock()) self->submitCompleted(pageScriptSucceeded(result, error));
                             });
}

void VoiceController::insertCompleted(bool succeeded) {
    // A recording started since owns the status line.
    if (state_ == VoiceState::recording) return;
    setStatus(succeeded ? voice_status::kReady : voice_status::kComposerUnreachable);
}

void VoiceController::submitCompleted(bool succeeded) {
    // A recording started since keeps its state, its status and its microphone.
    if (state_ == VoiceState::recording) return;
    if (!succeeded) {
        setStatus(voice_status::kComposerUnreachable);
        state_ = VoiceState::idle;
        return;
    }
    if (!speakReplies()) {
        state_ = VoiceState::idle;
        setStatus(voice_status::kSentRepliesOff);
        return;
    }
    state_ = VoiceState::awaitingReply;
    setStatus(voice_status::kWaitingForReply);
    if (auto view = webView_.lock()) view->evaluateJavaScript(replyWatcherScript());
}

}  // namespace pelko
