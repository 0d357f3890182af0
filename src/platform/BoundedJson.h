#pragma once

#include "platform/CoreGuard.h"

#include <nlohmann/json.hpp>
#include <optional>
#include <string_view>

namespace pelko {

// The deepest nesting accepted from outside (pages, files). Copying a JSON
// value recurses once per level, so unbounded nesting could exhaust the stack.
inline constexpr int kMaxJsonDepth = 256;

// Parses JSON text that came from outside; none when it is not valid JSON
// (a NUL anywhere included) or nests deeper than `maxDepth`. Never throws.
std::optional<nlohmann::json> parseBoundedJson(std::string_view text, int maxDepth = kMaxJsonDepth);

}  // namespace pelko
