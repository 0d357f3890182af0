#pragma once

#include "platform/CoreGuard.h"

#include <string>

namespace pelko {

// A voice status is active when it begins with one of the five prefixes
// ("●", "Waiting", "Sending", "Speaking", "Transcribing"), case-sensitively.
bool isActiveVoiceStatus(const std::string& status);

// The main window's title while `status` is the latest voice status.
std::string windowTitleForVoiceStatus(const std::string& status);

}  // namespace pelko
