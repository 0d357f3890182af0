#pragma once

#include "platform/Files.h"

namespace pelko::mac {

// The shared NSFileManager, and POSIX calls for the one write it has no
// private, atomic form of.
class FilesPort : public Files {
public:
    std::optional<std::string> downloadsDirectory() override;
    std::string homeDirectory() const override;
    bool fileExistsAtPath(const std::string& path) const override;

    FileOutcome createDirectoryAtPath(const std::string& path) override;
    FileOutcome writePrivateFileAtomically(const std::string& path, const std::string& contents) override;
    FileOutcome removeItemAtPath(const std::string& path) override;
    FileOutcome copyItemAtPath(const std::string& from, const std::string& to) override;
    FileOutcome moveItemAtPath(const std::string& from, const std::string& to) override;
    FileOutcome replaceItemAtPath(const std::string& target, const std::string& replacement) override;
};

}  // namespace pelko::mac
