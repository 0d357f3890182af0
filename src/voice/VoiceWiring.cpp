#include "app/AppDelegate.h"

// Until the voice controller lands, the Voice menu shows the idle state and
// its actions do nothing.
namespace pelko {

void AppDelegate::createVoiceController() {}

std::string AppDelegate::voiceStatusText() const { return "Voice ready"; }

bool AppDelegate::voiceSpeakReplies() const { return true; }

void AppDelegate::pushToTalkToggled(bool /*isARepeat*/) {}

void AppDelegate::speakRepliesToggled(MenuItem& /*sender*/) {}

}  // namespace pelko

namespace pelko {
void AppDelegate::handleVoiceBridgeEvent(const nlohmann::json& /*message*/) {}
}  // namespace pelko
