#pragma once

#include "platform/CoreGuard.h"

#include <optional>
#include <string>
#include <variant>

namespace pelko {

// The update manifest: {"version": "...", "url": "..."}.
struct UpdateManifest {
    std::string version;
    std::string url;
};

// Why no manifest could be read.
enum class ManifestFailure {
    noAnswer,      // no body came back
    notAManifest,  // not JSON, or not a JSON object
    incomplete,    // "version" or "url" missing or not a string
};

using ManifestReading = std::variant<UpdateManifest, ManifestFailure>;

// Reads a body as the manifest. Other keys are ignored.
ManifestReading readUpdateManifest(const std::optional<std::string>& body);

}  // namespace pelko
