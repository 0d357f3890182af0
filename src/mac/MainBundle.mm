#import <Foundation/Foundation.h>

#include "mac/CocoaValues.h"
#include "mac/MainBundle.h"

namespace pelko::mac {

std::string MainBundle::bundlePath() const { return fromNSString([NSBundle mainBundle].bundlePath); }

std::optional<nlohmann::json> MainBundle::objectForInfoDictionaryKey(const std::string& key) const {
    id value = [[NSBundle mainBundle] objectForInfoDictionaryKey:toNSString(key)];
    if (!value) return std::nullopt;
    // Present but with no JSON form (a date, data): null, which is no string.
    return jsonFromObject(value).value_or(nlohmann::json());
}

}  // namespace pelko::mac
