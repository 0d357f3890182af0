#import <Foundation/Foundation.h>

#include "mac/CocoaValues.h"
#include "mac/FileManagerFiles.h"

namespace pelko::mac {

std::optional<std::string> FileManagerFiles::downloadsDirectory() {
    NSError* error = nil;
    NSURL* url = [[NSFileManager defaultManager] URLForDirectory:NSDownloadsDirectory
                                                        inDomain:NSUserDomainMask
                                               appropriateForURL:nil
                                                          create:YES
                                                           error:&error];
    NSString* path = url.path;
    if (!path) return std::nullopt;
    return fromNSString(path);
}

std::string FileManagerFiles::homeDirectory() const {
    return fromNSString([NSFileManager defaultManager].homeDirectoryForCurrentUser.path);
}

bool FileManagerFiles::fileExistsAtPath(const std::string& path) const {
    // A path that is not UTF-8 names nothing this application made.
    NSString* text = stringFromUTF8(path);
    // The item itself, not what a symbolic link points at: a dangling link
    // is taken too, so nothing is ever written through one.
    return text && [[NSFileManager defaultManager] attributesOfItemAtPath:text error:nil] != nil;
}

}  // namespace pelko::mac
