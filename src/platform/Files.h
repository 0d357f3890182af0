#pragma once

#include <optional>
#include <string>

namespace pelko {

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
};

}  // namespace pelko
