#pragma once

#include "platform/CoreGuard.h"

namespace pelko {

class UserDefaults;

inline constexpr const char* kSpeakRepliesKey = "voiceSpeakReplies";

// Whether a sent voice message has its reply read aloud: the stored Boolean,
// or true when nothing or something other than a Boolean is stored. Read
// anew every time; nothing is cached.
bool speakRepliesSetting(const UserDefaults& defaults);
void setSpeakRepliesSetting(UserDefaults& defaults, bool speak);

}  // namespace pelko
