#pragma once

#include "platform/Files.h"

namespace pelko::gtk {

// The user's folders as GLib knows them (XDG user directories) and the
// local file system.
class FilesPort : public Files {
public:
    // The XDG download folder, or ~/Downloads when the user's directories
    // name none; made (private to the user) when missing. None when it
    // cannot be made or is not a folder.
    std::optional<std::string> downloadsDirectory() override;
    std::string homeDirectory() const override;
    // Looks at the item itself, not at what a link points to: a dangling
    // link exists. What cannot be examined (a name too long, a folder that
    // cannot be searched) does not: writing there fails and says so, where
    // "taken" would only send the caller on to the next name.
    bool fileExistsAtPath(const std::string& path) const override;
    FileOutcome createDirectoryAtPath(const std::string& path) override;
    FileOutcome writePrivateFileAtomically(const std::string& path, const std::string& contents) override;
    FileOutcome removeItemAtPath(const std::string& path) override;
    FileOutcome copyItemAtPath(const std::string& from, const std::string& to) override;
    // Both within one file system: a rename.
    FileOutcome moveItemAtPath(const std::string& from, const std::string& to) override;
    FileOutcome replaceItemAtPath(const std::string& target, const std::string& replacement) override;
};

}  // namespace pelko::gtk
