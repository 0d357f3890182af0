#pragma once

#include <optional>
#include <set>
#include <string>

#include "platform/Files.h"

namespace pelko::test {

// A file system of named paths.
class FakeFiles : public Files {
public:
    std::optional<std::string> downloadsDirectory() override { return downloads; }
    std::string homeDirectory() const override { return "/home/user"; }
    bool fileExistsAtPath(const std::string& path) const override { return existing.contains(path); }

    std::optional<std::string> downloads = "/home/user/Downloads";
    std::set<std::string> existing;
};

}  // namespace pelko::test
