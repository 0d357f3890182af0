#pragma once

#include "platform/CoreGuard.h"

#include <string>

namespace pelko {

// Where the application installs itself, whatever its running name.
inline constexpr const char* kInstallTarget = "/Applications/Pelko.app";

// Whether the user is offered a move to /Applications: only from a mounted
// volume ("/Volumes/...") or a Downloads folder (".../Downloads/..."), and
// never from inside /Applications.
bool offersRelocation(const std::string& bundlePath);

// `text` in double quotes for /bin/sh, with the four characters the shell
// still reads there (" $ ` \) escaped, so it arrives as one literal word.
std::string shellDoubleQuoted(const std::string& text);

// What the shell runs once this process has gone: open the installed copy,
// then, when the application ran from a volume, force-detach that volume.
std::string relaunchCommand(const std::string& bundlePath);

}  // namespace pelko
