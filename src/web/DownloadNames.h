#pragma once

#include "platform/CoreGuard.h"

#include <functional>
#include <optional>
#include <string>

#include "platform/Url.h"

namespace pelko {

inline constexpr const char* kDefaultDownloadName = "PelkoDownload";

// One file name that stays in the folder it is put in and shows what it is:
// the last component of whatever path the text names, as UTF-8 (other bytes
// become U+FFFD), without control characters (C0, DEL, C1), bidirectional
// controls or leading dots (so it is neither hidden nor `.`/`..`). Empty
// when nothing is left, or nothing that shows (blanks, invisible characters).
std::string safeFileName(const std::string& suggested);

// The suggestion made safe; else the last component of the original URL's
// path made safe; else "PelkoDownload".
std::string downloadFileName(const std::string& suggestedFilename, const std::optional<Url>& originalURL);

// The first path in `folder` for `name` that `isTaken` refuses: the name
// itself, then "base (1).ext", "base (2).ext", ... Only the last extension
// is split off.
std::string freeDestination(const std::string& folder, const std::string& name,
                            const std::function<bool(const std::string& path)>& isTaken);

// Whether opening the file with its default application could run code
// (applications, scripts, terminal and launcher files). Such a file is only
// revealed.
bool fileMayRunCode(const std::string& path);

}  // namespace pelko
