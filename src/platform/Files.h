#pragma once

#include <optional>
#include <string>

namespace pelko {

// Why a file operation failed, in the platform's own localized words.
struct FileError {
    std::string localizedDescription;
};
// None when the operation was done.
using FileOutcome = std::optional<FileError>;

// The file system, as far as the application looks at it. Paths are absolute.
class Files {
public:
    virtual ~Files() = default;
    // The user's Downloads folder as the platform names it, created when
    // missing; none when the platform cannot provide it.
    virtual std::optional<std::string> downloadsDirectory() = 0;
    virtual std::string homeDirectory() const = 0;
    // True for any existing item: a file, a folder, a link.
    virtual bool fileExistsAtPath(const std::string& path) const = 0;

    // Creates the folder and any missing folders above it; a folder already
    // there is not an error.
    virtual FileOutcome createDirectoryAtPath(const std::string& path) = 0;
    // Writes `contents` to a new file readable and writable by the owner only
    // (0600), then puts it in place of any file at `path` in one step: a
    // reader sees the old file or the whole new one, never a part.
    virtual FileOutcome writePrivateFileAtomically(const std::string& path, const std::string& contents) = 0;
    // Deletes at once (no trash), a folder with everything in it. Nothing at
    // `path` is an error.
    virtual FileOutcome removeItemAtPath(const std::string& path) = 0;
    // Copies a file or a whole folder tree, links as links. Fails when
    // something is at `to` already.
    virtual FileOutcome copyItemAtPath(const std::string& from, const std::string& to) = 0;
    // Renames; fails when something is at `to` already.
    virtual FileOutcome moveItemAtPath(const std::string& from, const std::string& to) = 0;
    // Puts `replacement` in place of the existing item at `target` in one
    // step, then deletes the replaced item. On failure both stay as they were.
    virtual FileOutcome replaceItemAtPath(const std::string& target, const std::string& replacement) = 0;
};

}  // namespace pelko
