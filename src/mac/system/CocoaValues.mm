#import "mac/system/CocoaValues.h"

#include <string_view>

#include "platform/BoundedJson.h"

namespace pelko::mac {

NSString* _Nullable stringFromUTF8(const std::string& text) {
    return [[NSString alloc] initWithBytes:text.data() length:text.size() encoding:NSUTF8StringEncoding];
}

NSString* toNSString(const std::string& text) {
    NSString* string = stringFromUTF8(text);
    return string ? string : @"";
}

std::string fromNSString(NSString* _Nullable text) {
    const char* utf8 = text ? text.UTF8String : nullptr;
    return utf8 ? std::string(utf8) : std::string();
}

std::optional<Url> urlFromNSURL(NSURL* _Nullable url) {
    if (!url) return std::nullopt;
    Url out;
    out.absoluteString = fromNSString(url.absoluteString);
    out.scheme = fromNSString(url.scheme);
    out.host = fromNSString(url.host);
    if (NSNumber* port = url.port) out.port = port.intValue;
    out.path = fromNSString(url.path);
    return out;
}

NSURL* _Nullable nsURLFromUrl(const Url& url) {
    NSString* text = stringFromUTF8(url.absoluteString);
    return text ? [NSURL URLWithString:text] : nil;
}

std::optional<nlohmann::json> jsonFromObject(id _Nullable maybeObject) {
    id object = maybeObject;
    if (!object) return std::nullopt;
    // Wrapped, so that a lone string or number converts as well.
    NSArray* wrapped = [NSArray arrayWithObject:object];
    if (![NSJSONSerialization isValidJSONObject:wrapped]) return std::nullopt;
    NSData* data = [NSJSONSerialization dataWithJSONObject:wrapped options:0 error:nil];
    if (!data) return std::nullopt;
    auto parsed = parseBoundedJson(std::string_view(static_cast<const char*>(data.bytes), data.length));
    if (!parsed || !parsed->is_array() || parsed->size() != 1) return std::nullopt;
    return std::move((*parsed)[0]);
}

}  // namespace pelko::mac
