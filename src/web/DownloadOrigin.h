#pragma once

#include "platform/CoreGuard.h"

#include "platform/DownloadOrigins.h"
#include "platform/WebViewDelegates.h"

namespace pelko {

// What is recorded of a download's addresses: http and https ones only (a
// data: address is the file itself, a blob: one means nothing outside the
// page), without user name, password or fragment, so that no credential is
// written next to the file.
DownloadOrigin downloadOrigin(const DownloadRef& download);

}  // namespace pelko
