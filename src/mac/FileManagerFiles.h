#pragma once

#include "platform/Files.h"

namespace pelko::mac {

// The shared NSFileManager.
class FileManagerFiles : public Files {
public:
    std::optional<std::string> downloadsDirectory() override;
    std::string homeDirectory() const override;
    bool fileExistsAtPath(const std::string& path) const override;
};

}  // namespace pelko::mac
