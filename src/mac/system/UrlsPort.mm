#import <Foundation/Foundation.h>

#include "mac/system/CocoaValues.h"
#include "mac/system/UrlsPort.h"

namespace pelko::mac {

std::optional<Url> UrlsPort::urlFromString(const std::string& text) const {
    NSString* string = stringFromUTF8(text);
    return string ? urlFromNSURL([NSURL URLWithString:string]) : std::nullopt;
}

}  // namespace pelko::mac
