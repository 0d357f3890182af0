#include "gtk/system/FilesPort.h"

#include <glib.h>
#include <glib/gstdio.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <system_error>


namespace pelko::gtk {

std::optional<std::string> FilesPort::downloadsDirectory() {
    const char* named = g_get_user_special_dir(G_USER_DIRECTORY_DOWNLOAD);
    const std::string folder = named && *named ? std::string(named) : homeDirectory() + "/Downloads";
    // The mode applies only to folders made here; it fails on a file in the way.
    if (g_mkdir_with_parents(folder.c_str(), 0700) != 0) {
        g_warning("Cannot make the Downloads folder %s: %s", folder.c_str(), g_strerror(errno));
        return std::nullopt;
    }
    return folder;
}

std::string FilesPort::homeDirectory() const { return g_get_home_dir(); }

bool FilesPort::fileExistsAtPath(const std::string& path) const {
    GStatBuf status;
    return g_lstat(path.c_str(), &status) == 0;
}

namespace {

FileError errnoError(int code) { return FileError{g_strerror(code)}; }

}  // namespace

FileOutcome FilesPort::createDirectoryAtPath(const std::string& path) {
    // As mkdir -p: the user's umask decides who else may look in.
    if (g_mkdir_with_parents(path.c_str(), 0777) != 0) return errnoError(errno);
    return std::nullopt;
}

FileOutcome FilesPort::writePrivateFileAtomically(const std::string& path, const std::string& contents) {
    // The temporary file is made with the mode, then renamed over the old one.
    GError* error = nullptr;
    if (!g_file_set_contents_full(path.c_str(), contents.data(), static_cast<gssize>(contents.size()),
                                  G_FILE_SET_CONTENTS_CONSISTENT, 0600, &error)) {
        FileError failure{error->message};
        g_error_free(error);
        return failure;
    }
    return std::nullopt;
}

FileOutcome FilesPort::removeItemAtPath(const std::string& path) {
    std::error_code error;
    if (!fileExistsAtPath(path)) return errnoError(ENOENT);
    std::filesystem::remove_all(path, error);
    if (error) return FileError{error.message()};
    return std::nullopt;
}

FileOutcome FilesPort::copyItemAtPath(const std::string& from, const std::string& to) {
    if (fileExistsAtPath(to)) return errnoError(EEXIST);
    std::error_code error;
    std::filesystem::copy(from, to, std::filesystem::copy_options::recursive | std::filesystem::copy_options::copy_symlinks,
                          error);
    if (error) return FileError{error.message()};
    return std::nullopt;
}

FileOutcome FilesPort::moveItemAtPath(const std::string& from, const std::string& to) {
    if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) != 0) return errnoError(errno);
    return std::nullopt;
}

FileOutcome FilesPort::replaceItemAtPath(const std::string& target, const std::string& replacement) {
    // One atomic exchange: a folder cannot be renamed over a full one.
    if (renameat2(AT_FDCWD, replacement.c_str(), AT_FDCWD, target.c_str(), RENAME_EXCHANGE) != 0)
        return errnoError(errno);
    // The replaced item now lies where the replacement was. The replacement
    // is in place either way, so a leftover is no failure of the replace.
    std::error_code ignored;
    std::filesystem::remove_all(replacement, ignored);
    return std::nullopt;
}

}  // namespace pelko::gtk
