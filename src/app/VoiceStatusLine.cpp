#include "app/VoiceStatusLine.h"

#include <array>

#include "app/AppDelegate.h"
#include "app/DesktopConventions.h"

// The voice status in the Voice menu and, while a recording or a reply is
// under way, in the window's title.
namespace pelko {

bool isActiveVoiceStatus(const std::string& status) {
    static constexpr std::array<const char*, 5> kActivePrefixes{"\u25CF", "Waiting", "Sending", "Speaking",
                                                                "Transcribing"};
    for (const char* prefix : kActivePrefixes) {
        if (status.starts_with(prefix)) return true;
    }
    return false;
}

std::string windowTitleForVoiceStatus(const std::string& status) {
    return isActiveVoiceStatus(status) ? "Pelko \u2014 " + status : "Pelko";
}

void AppDelegate::voiceStatusChanged(const std::string& status) {
    const std::string shown = shownVoiceStatus(status, config_.platform);
    voiceStatusItem_->setTitle("Status: " + shown);
    if (window_) window_->setTitle(windowTitleForVoiceStatus(shown));
}

}  // namespace pelko
