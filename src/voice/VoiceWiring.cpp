#include "app/AppDelegate.h"
#include "voice/SpeakRepliesSetting.h"
#include "voice/VoiceController.h"
#include "voice/VoiceStatusTexts.h"

namespace pelko {

void AppDelegate::createVoiceController() {
    voice = std::make_shared<VoiceController>(webView, ports_);
    std::weak_ptr<AppDelegate> weakSelf = weak_from_this();
    voice->onStatusChange = [weakSelf](const std::string& status) {
        if (auto self = weakSelf.lock()) self->voiceStatusChanged(status);
    };
}

std::string AppDelegate::voiceStatusText() const { return voice ? voice->status() : voice_status::kReady; }

bool AppDelegate::voiceSpeakReplies() const {
    return voice ? voice->speakReplies() : speakRepliesSetting(*ports_.userDefaults);
}

void AppDelegate::pushToTalkToggled(bool isARepeat) {
    // A held Shift+Command+Space must not flip push-to-talk with every repeat.
    if (isARepeat) return;
    if (voice) voice->togglePushToTalk();
}

void AppDelegate::speakRepliesToggled(MenuItem& sender) {
    if (voice) {
        voice->setSpeakReplies(!voice->speakReplies());
    } else {
        setSpeakRepliesSetting(*ports_.userDefaults, !speakRepliesSetting(*ports_.userDefaults));
    }
    sender.setState(voiceSpeakReplies() ? MenuItemState::on : MenuItemState::off);
}

void AppDelegate::handleVoiceBridgeEvent(const nlohmann::json& message) {
    if (voice) voice->handleBridgeEvent(message);
}

}  // namespace pelko
