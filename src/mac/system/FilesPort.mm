#import <Foundation/Foundation.h>

#include <errno.h>
#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>

#include "mac/system/CocoaValues.h"
#include "mac/system/FilesPort.h"

namespace pelko::mac {

namespace {

// Foundation fills the error whenever one of its calls answers NO.
FileError failure(NSError* _Nullable error) { return FileError{fromNSString(error.localizedDescription)}; }

// An errno value in the system's own words, as Foundation would give it.
FileError posixFailure(int code) {
    return failure([NSError errorWithDomain:NSPOSIXErrorDomain code:code userInfo:nil]);
}

// A path that is not UTF-8 names nothing this application made: refused as
// an illegal byte sequence rather than passed on changed.
FileError notUTF8() { return posixFailure(EILSEQ); }

}  // namespace

std::optional<std::string> FilesPort::downloadsDirectory() {
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

std::string FilesPort::homeDirectory() const {
    return fromNSString([NSFileManager defaultManager].homeDirectoryForCurrentUser.path);
}

bool FilesPort::fileExistsAtPath(const std::string& path) const {
    // A path that is not UTF-8 names nothing this application made.
    NSString* text = stringFromUTF8(path);
    // The item itself, not what a symbolic link points at: a dangling link
    // is taken too, so nothing is ever written through one.
    return text && [[NSFileManager defaultManager] attributesOfItemAtPath:text error:nil] != nil;
}

FileOutcome FilesPort::createDirectoryAtPath(const std::string& path) {
    NSString* text = stringFromUTF8(path);
    if (!text) return notUTF8();
    NSError* error = nil;
    // With intermediate folders, one that is already there counts as made.
    if ([[NSFileManager defaultManager] createDirectoryAtPath:text
                                  withIntermediateDirectories:YES
                                                   attributes:nil
                                                        error:&error])
        return std::nullopt;
    return failure(error);
}

FileOutcome FilesPort::writePrivateFileAtomically(const std::string& path, const std::string& contents) {
    if (!stringFromUTF8(path)) return notUTF8();
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) return posixFailure(EINVAL);

    // Beside the target, as a rename replaces in one step only within a
    // volume; hidden and without the target's extension, so that a folder
    // scanned for its files (LaunchAgents) never picks up a partial one.
    std::string temporary = path.substr(0, slash + 1) + "." + path.substr(slash + 1) + ".XXXXXX";
    // mkstemp makes a new, uniquely named file (O_EXCL) with mode 0600: the
    // contents are never readable by anyone else, not even for a moment.
    const int descriptor = mkstemp(temporary.data());
    if (descriptor < 0) return posixFailure(errno);

    int failed = 0;
    const char* bytes = contents.data();
    size_t left = contents.size();
    while (left > 0) {
        const ssize_t written = write(descriptor, bytes, left);
        if (written < 0) {
            if (errno == EINTR) continue;
            failed = errno;
            break;
        }
        bytes += written;
        left -= static_cast<size_t>(written);
    }
    // On disk before the rename, so that a crash leaves the old file or the
    // whole new one.
    if (!failed && fsync(descriptor) != 0) failed = errno;
    if (close(descriptor) != 0 && !failed) failed = errno;
    if (!failed && rename(temporary.c_str(), path.c_str()) != 0) failed = errno;
    if (failed) {
        unlink(temporary.c_str());
        return posixFailure(failed);
    }
    return std::nullopt;
}

FileOutcome FilesPort::removeItemAtPath(const std::string& path) {
    NSString* text = stringFromUTF8(path);
    if (!text) return notUTF8();
    NSError* error = nil;
    if ([[NSFileManager defaultManager] removeItemAtPath:text error:&error]) return std::nullopt;
    return failure(error);
}

FileOutcome FilesPort::copyItemAtPath(const std::string& from, const std::string& to) {
    NSString* source = stringFromUTF8(from);
    NSString* destination = stringFromUTF8(to);
    if (!source || !destination) return notUTF8();
    NSError* error = nil;
    if ([[NSFileManager defaultManager] copyItemAtPath:source toPath:destination error:&error]) return std::nullopt;
    return failure(error);
}

FileOutcome FilesPort::moveItemAtPath(const std::string& from, const std::string& to) {
    NSString* source = stringFromUTF8(from);
    NSString* destination = stringFromUTF8(to);
    if (!source || !destination) return notUTF8();
    NSError* error = nil;
    if ([[NSFileManager defaultManager] moveItemAtPath:source toPath:destination error:&error]) return std::nullopt;
    return failure(error);
}

FileOutcome FilesPort::replaceItemAtPath(const std::string& target, const std::string& replacement) {
    NSString* targetText = stringFromUTF8(target);
    NSString* replacementText = stringFromUTF8(replacement);
    if (!targetText || !replacementText) return notUTF8();
    NSError* error = nil;
    // Foundation's safe-save swap, which takes any item, a folder such as an
    // application bundle too. Without a backup name the replaced item is
    // deleted once the new one is in place, and the replacement is moved,
    // not copied; both must be on one volume (the relocator stages its copy
    // inside /Applications). The new item's metadata only: the copy keeps
    // its own permissions and dates, not those of the application it replaces.
    if ([[NSFileManager defaultManager] replaceItemAtURL:[NSURL fileURLWithPath:targetText]
                                           withItemAtURL:[NSURL fileURLWithPath:replacementText]
                                          backupItemName:nil
                                                 options:NSFileManagerItemReplacementUsingNewMetadataOnly
                                        resultingItemURL:nil
                                                   error:&error])
        return std::nullopt;
    return failure(error);
}

}  // namespace pelko::mac
