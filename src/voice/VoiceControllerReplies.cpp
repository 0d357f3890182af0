// VoiceController: what the page's bridge says about the voice feature (the
// reply watcher's events, the page's dictation requests).

#include "platform/MainQueue.h"
#include "voice/VoiceController.h"
#include "voice/VoiceStatusTexts.h"

namespace pelko {

namespace {
constexpr Duration kSpeakingStatusDuration{6000};
}  // namespace

void VoiceController::handleBridgeEvent(const nlohmann::json& message) {
    if (!message.is_object()) return;
    const auto entry = message.find("event");
    if (entry == message.end() || !entry->is_string()) return;
    const std::string& event = entry->get_ref<const std::string&>();

    if (event == "dictate") {
        toggleDictation();
        return;
    }
    const bool replyEvent = event == "replyStarted" || event == "replyTimeout" || event == "replyFailed";
    // The page reports on an earlier message; a recording started since
    // keeps its state, its status and its microphone.
    if (!replyEvent || state_ == VoiceState::recording) return;

    state_ = VoiceState::idle;
    if (event == "replyTimeout") {
        setStatus(voice_status::kReplyTimeout);
    } else if (event == "replyFailed") {
        setStatus(voice_status::kReplyFailed);
    } else {
        setStatus(voice_status::kSpeakingReply);
        std::weak_ptr<VoiceController> weakSelf = weak_from_this();
        ports_.mainQueue.asyncAfter(kSpeakingStatusDuration, [weakSelf] {
            auto self = weakSelf.lock();
            // Only while nothing new has begun.
            if (self && self->state_ == VoiceState::idle) self->setStatus(voice_status::kReady);
        });
    }
}

}  // namespace pelko
