#pragma once

#include "platform/CoreGuard.h"

#include <optional>
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

// Where the volume holding a bundle under "/Volumes/" is mounted:
// "/Volumes/" and the path's second piece (empty pieces dropped). None for
// any other bundle path.
std::optional<std::string> volumeMountPath(const std::string& bundlePath);

// What the shell runs once this process has gone: open the installed copy,
// then force-detach `diskImage`, the disk image the application ran from,
// when there is one. Any other volume stays mounted: a drive may have other
// programs' files open on it.
std::string relaunchCommand(const std::optional<std::string>& diskImage);

}  // namespace pelko
