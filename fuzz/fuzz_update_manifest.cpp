// parseBoundedJson and readUpdateManifest on any text: the bound refuses
// exactly the JSON that nests deeper than it, and the manifest is read from
// what a plain JSON parser makes of the text.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <variant>

#include "FuzzCheck.h"
#include "platform/BoundedJson.h"
#include "update/UpdateManifest.h"

using namespace pelko;
using fuzz::quoted;
using nlohmann::json;

namespace {

// How deep a value nests: a scalar 0, an array or object one more than its
// deepest member.
int depthOf(const json& value) {
    int deepest = 0;
    if (value.is_structured())
        for (const auto& member : value) deepest = std::max(deepest, depthOf(member) + 1);
    return value.is_structured() ? std::max(deepest, 1) : 0;
}

ManifestReading expectedReading(const json& value, bool parsed) {
    if (!parsed || depthOf(value) > kMaxJsonDepth || !value.is_object()) return ManifestFailure::notAManifest;
    const auto version = value.find("version");
    const auto url = value.find("url");
    if (version == value.end() || !version->is_string() || url == value.end() || !url->is_string())
        return ManifestFailure::incomplete;
    return UpdateManifest{version->get<std::string>(), url->get<std::string>()};
}

bool sameReading(const ManifestReading& a, const ManifestReading& b) {
    const auto* first = std::get_if<UpdateManifest>(&a);
    const auto* second = std::get_if<UpdateManifest>(&b);
    if (first && second) return first->version == second->version && first->url == second->url;
    return !first && !second && std::get<ManifestFailure>(a) == std::get<ManifestFailure>(b);
}

}  // namespace

// Input: a byte whose low four bits are a depth bound, small so that inputs
// reach it, then the text.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const int bound = data[0] & 15;
    const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);

    // The parser stops reading at a NUL, which JSON text cannot hold.
    const json plain = json::parse(text, nullptr, /*allow_exceptions=*/false);
    const bool parsed = !plain.is_discarded() && text.find('\0') == std::string::npos;
    const auto bounded = parseBoundedJson(text, bound);
    const bool withinBound = parsed && depthOf(plain) <= bound;
    PELKO_FUZZ_REQUIRE(bounded.has_value() == withinBound, "bound " + std::to_string(bound) + ": " + quoted(text));
    if (bounded) PELKO_FUZZ_REQUIRE(*bounded == plain, quoted(text));

    PELKO_FUZZ_REQUIRE(sameReading(readUpdateManifest(text), expectedReading(plain, parsed)), quoted(text));
    return 0;
}
