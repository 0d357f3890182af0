#include "gtk/system/SettingsFile.h"

#include <glib.h>
#include <glib/gstdio.h>

#include <cerrno>
#include <climits>

#include "gtk/system/GObjectRef.h"

namespace pelko::gtk {

SettingsFile::SettingsFile(std::string path) : path_(std::move(path)), keyFile_(g_key_file_new()) {
    GError* error = nullptr;
    if (!g_key_file_load_from_file(keyFile_, path_.c_str(), G_KEY_FILE_KEEP_COMMENTS, &error)) {
        // A missing file is the first launch; anything else is a file we must not overwrite blindly.
        unreadable_ = !g_error_matches(error, G_FILE_ERROR, G_FILE_ERROR_NOENT);
        g_clear_error(&error);
    }
}

SettingsFile::~SettingsFile() { g_key_file_free(keyFile_); }

std::optional<std::string> SettingsFile::value(const std::string& group, const std::string& key) const {
    OwnedGString text(g_key_file_get_string(keyFile_, group.c_str(), key.c_str(), nullptr));
    if (!text) return std::nullopt;
    return std::string(text.get());
}

std::optional<int> SettingsFile::integer(const std::string& group, const std::string& key) const {
    const auto text = value(group, key);
    if (!text || text->empty()) return std::nullopt;
    char* end = nullptr;
    errno = 0;
    const long long number = g_ascii_strtoll(text->c_str(), &end, 10);
    if (errno != 0 || end == nullptr || *end != '\0' || number < INT_MIN || number > INT_MAX) return std::nullopt;
    return static_cast<int>(number);
}

bool SettingsFile::setValue(const std::string& group, const std::string& key, const std::string& value) {
    g_key_file_set_string(keyFile_, group.c_str(), key.c_str(), value.c_str());
    return save();
}

bool SettingsFile::setInteger(const std::string& group, const std::string& key, int value) {
    g_key_file_set_integer(keyFile_, group.c_str(), key.c_str(), value);
    return save();
}

bool SettingsFile::save() {
    // Settings are kept quietly; a failure to keep them is worth a line in the log.
    OwnedGString folder(g_path_get_dirname(path_.c_str()));
    if (g_mkdir_with_parents(folder.get(), 0700) != 0) {
        g_warning("Could not create the settings folder %s: %s", folder.get(), g_strerror(errno));
        return false;
    }
    if (unreadable_) {
        const std::string aside = path_ + ".unreadable";
        if (g_rename(path_.c_str(), aside.c_str()) != 0 && errno != ENOENT) {
            g_warning("Could not move the unreadable settings file %s aside: %s", path_.c_str(), g_strerror(errno));
            return false;
        }
        unreadable_ = false;
    }
    GError* error = nullptr;
    if (!g_key_file_save_to_file(keyFile_, path_.c_str(), &error)) {
        g_warning("Could not save the settings to %s: %s", path_.c_str(), error->message);
        g_clear_error(&error);
        return false;
    }
    return true;
}

}  // namespace pelko::gtk
