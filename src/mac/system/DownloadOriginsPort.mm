#import <CoreServices/CoreServices.h>
#import <Foundation/Foundation.h>

#include "mac/system/CocoaValues.h"
#include "mac/system/DownloadOriginsPort.h"

namespace pelko::mac {

namespace {

NSURL* _Nullable urlFrom(const std::optional<std::string>& text) {
    NSString* string = text ? stringFromUTF8(*text) : nil;
    return string ? [NSURL URLWithString:string] : nil;
}

}  // namespace

void DownloadOriginsPort::recordOrigin(const std::string& path, const DownloadOrigin& origin) {
    NSString* text = stringFromUTF8(path);
    if (!text) return;
    NSURL* file = [NSURL fileURLWithPath:text];
    id existing = nil;
    if ([file getResourceValue:&existing forKey:NSURLQuarantinePropertiesKey error:nil] && existing) return;

    NSMutableDictionary<NSString*, id>* properties = [NSMutableDictionary dictionary];
    [properties setObject:(__bridge NSString*)kLSQuarantineTypeWebDownload
                   forKey:(__bridge NSString*)kLSQuarantineTypeKey];
    if (NSURL* data = urlFrom(origin.dataURL))
        [properties setObject:data forKey:(__bridge NSString*)kLSQuarantineDataURLKey];
    if (NSURL* page = urlFrom(origin.referrerURL))
        [properties setObject:page forKey:(__bridge NSString*)kLSQuarantineOriginURLKey];
    [file setResourceValue:properties forKey:NSURLQuarantinePropertiesKey error:nil];
}

}  // namespace pelko::mac
