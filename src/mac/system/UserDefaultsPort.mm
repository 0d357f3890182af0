#import <Foundation/Foundation.h>

#include "mac/system/CocoaValues.h"
#include "mac/system/UserDefaultsPort.h"

namespace pelko::mac {

std::optional<nlohmann::json> UserDefaultsPort::objectForKey(const std::string& key) const {
    id value = [[NSUserDefaults standardUserDefaults] objectForKey:toNSString(key)];
    if (!value) return std::nullopt;
    // Present but with no JSON form (a date, data): null, which is no Boolean.
    return jsonFromObject(value).value_or(nlohmann::json());
}

void UserDefaultsPort::setBool(const std::string& key, bool value) {
    [[NSUserDefaults standardUserDefaults] setBool:value forKey:toNSString(key)];
}

}  // namespace pelko::mac
