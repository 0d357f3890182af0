#include "voice/SpeakRepliesSetting.h"

#include "platform/UserDefaults.h"

namespace pelko {

bool speakRepliesSetting(const UserDefaults& defaults) {
    const auto stored = defaults.objectForKey(kSpeakRepliesKey);
    if (stored && stored->is_boolean()) return stored->get<bool>();
    return true;
}

void setSpeakRepliesSetting(UserDefaults& defaults, bool speak) { defaults.setBool(kSpeakRepliesKey, speak); }

}  // namespace pelko
