#include "platform/BoundedJson.h"

namespace pelko {

namespace {

// Counts bracket depth outside string literals. Only a pre-check: the
// parser still validates the text.
bool nestsWithin(std::string_view text, int maxDepth) {
    int depth = 0;
    bool inString = false;
    bool escaped = false;
    for (const char c : text) {
        if (inString) {
            if (escaped) {
                escaped = false;
            } else if (c == '\\') {
                escaped = true;
            } else if (c == '"') {
                inString = false;
            }
            continue;
        }
        if (c == '"') {
            inString = true;
        } else if (c == '[' || c == '{') {
            if (++depth > maxDepth) return false;
        } else if (c == ']' || c == '}') {
            --depth;
        }
    }
    return true;
}

}  // namespace

std::optional<nlohmann::json> parseBoundedJson(std::string_view text, int maxDepth) {
    // JSON text never holds a NUL, and the parser would take one as the end
    // of the text, accepting "{...}\0anything" as the part before it.
    if (text.find('\0') != std::string_view::npos) return std::nullopt;
    if (!nestsWithin(text, maxDepth)) return std::nullopt;
    auto value = nlohmann::json::parse(text.begin(), text.end(), nullptr, /*allow_exceptions=*/false);
    if (value.is_discarded()) return std::nullopt;
    return value;
}

}  // namespace pelko
