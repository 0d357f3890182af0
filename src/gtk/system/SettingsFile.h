#pragma once

#include <optional>
#include <string>

typedef struct _GKeyFile GKeyFile;

namespace pelko::gtk {

// The application's small settings file (an INI-style GLib key file). Every
// change is written at once, atomically (a temporary file renamed over the
// old one), so a crash never leaves half a file behind. A file that cannot
// be read is kept aside as "<name>.unreadable" before the first write
// replaces it, so nothing the user had is destroyed.
class SettingsFile {
public:
    explicit SettingsFile(std::string path);
    ~SettingsFile();
    SettingsFile(const SettingsFile&) = delete;
    SettingsFile& operator=(const SettingsFile&) = delete;

    const std::string& path() const { return path_; }
    std::optional<std::string> value(const std::string& group, const std::string& key) const;
    std::optional<int> integer(const std::string& group, const std::string& key) const;
    // False when the file could not be written; the value stays in memory.
    bool setValue(const std::string& group, const std::string& key, const std::string& value);
    bool setInteger(const std::string& group, const std::string& key, int value);

private:
    bool save();

    std::string path_;
    GKeyFile* keyFile_;
    bool unreadable_ = false;
};

}  // namespace pelko::gtk
