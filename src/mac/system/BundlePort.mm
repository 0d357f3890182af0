#import <Foundation/Foundation.h>

#include <dlfcn.h>

#include "mac/system/BundlePort.h"
#include "mac/system/CocoaValues.h"

namespace pelko::mac {

namespace {

// Security.framework exports these two without a public header; the types
// follow the declarations in Apple's open-source SecTranslocate.h.
using IsTranslocatedURL = Boolean (*)(CFURLRef path, bool* isTranslocated, CFErrorRef _Nullable* _Nullable error);
using CreateOriginalPathForURL = CFURLRef _Nullable (*)(CFURLRef translocatedPath,
                                                        CFErrorRef _Nullable* _Nullable error);

// Gatekeeper runs a quarantined application that the user has not moved
// from a randomized read-only mount. Nothing done there lasts, and it is not
// where the user will look for the application again: the original path is
// what counts. Anything missing or failing gives the plain bundle path.
NSString* untranslocatedBundlePath() {
    NSBundle* bundle = [NSBundle mainBundle];
    // Never closed: asked once, and the framework stays for the process.
    void* security = dlopen("/System/Library/Frameworks/Security.framework/Security", RTLD_LAZY | RTLD_LOCAL);
    if (!security) return bundle.bundlePath;
    const auto isTranslocated = reinterpret_cast<IsTranslocatedURL>(dlsym(security, "SecTranslocateIsTranslocatedURL"));
    const auto createOriginalPath =
        reinterpret_cast<CreateOriginalPathForURL>(dlsym(security, "SecTranslocateCreateOriginalPathForURL"));
    if (!isTranslocated || !createOriginalPath) return bundle.bundlePath;

    // Held to the end of the scope: the CF reference borrows it.
    NSURL* bundleURL __attribute__((objc_precise_lifetime)) = bundle.bundleURL;
    const auto url = (__bridge CFURLRef)bundleURL;
    bool translocated = false;
    if (!isTranslocated(url, &translocated, nullptr) || !translocated) return bundle.bundlePath;
    // Created, so handed to ARC.
    NSURL* original = CFBridgingRelease(createOriginalPath(url, nullptr));
    NSString* path = original.path;
    return path ? path : bundle.bundlePath;
}

}  // namespace

std::string BundlePort::bundlePath() const {
    // Translocation does not change while the process runs.
    static const std::string path = fromNSString(untranslocatedBundlePath());
    return path;
}

std::optional<nlohmann::json> BundlePort::objectForInfoDictionaryKey(const std::string& key) const {
    id value = [[NSBundle mainBundle] objectForInfoDictionaryKey:toNSString(key)];
    if (!value) return std::nullopt;
    // Present but with no JSON form (a date, data): null, which is no string.
    return jsonFromObject(value).value_or(nlohmann::json());
}

}  // namespace pelko::mac
