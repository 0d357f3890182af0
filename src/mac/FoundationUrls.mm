#import <Foundation/Foundation.h>

#include "mac/CocoaValues.h"
#include "mac/FoundationUrls.h"

namespace pelko::mac {

std::optional<Url> FoundationUrls::urlFromString(const std::string& text) const {
    NSString* string = stringFromUTF8(text);
    return string ? urlFromNSURL([NSURL URLWithString:string]) : std::nullopt;
}

}  // namespace pelko::mac
