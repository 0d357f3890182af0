#pragma once

#include "platform/CoreGuard.h"

#include <cstddef>
#include <string>
#include <vector>

namespace pelko {

// Where the extended grapheme clusters of UTF-8 `text` (Unicode's
// user-perceived characters, UAX #29) begin, in bytes, followed by the
// text's size: each cluster lies between two neighbours. A byte that is not
// UTF-8 counts as U+FFFD. An empty text gives {0}.
std::vector<std::size_t> graphemeClusterBoundaries(const std::string& text);

}  // namespace pelko
