#include "update/UpdateManifest.h"

#include "platform/BoundedJson.h"

namespace pelko {

ManifestReading readUpdateManifest(const std::optional<std::string>& body) {
    if (!body) return ManifestFailure::noAnswer;
    const auto json = parseBoundedJson(*body);
    if (!json || !json->is_object()) return ManifestFailure::notAManifest;
    const auto version = json->find("version");
    const auto url = json->find("url");
    if (version == json->end() || !version->is_string() || url == json->end() || !url->is_string())
        return ManifestFailure::incomplete;
    return UpdateManifest{version->get<std::string>(), url->get<std::string>()};
}

}  // namespace pelko
