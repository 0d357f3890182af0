#pragma once

#import <Foundation/Foundation.h>

#include <nlohmann/json.hpp>
#include <optional>
#include <string>

#include "platform/Url.h"

NS_ASSUME_NONNULL_BEGIN

// Foundation values to the ports' plain values and back.
namespace pelko::mac {

// Nil when the text is not UTF-8.
NSString* _Nullable stringFromUTF8(const std::string& text);
// For texts the core made: not UTF-8 gives the empty string.
NSString* toNSString(const std::string& text);
std::string fromNSString(NSString* _Nullable text);

std::optional<Url> urlFromNSURL(NSURL* _Nullable url);
NSURL* _Nullable nsURLFromUrl(const Url& url);

// A property-list or script value as JSON: none for nil and for a value
// JSON cannot hold (a date, data, a non-finite number).
std::optional<nlohmann::json> jsonFromObject(id _Nullable object);

}  // namespace pelko::mac

NS_ASSUME_NONNULL_END
