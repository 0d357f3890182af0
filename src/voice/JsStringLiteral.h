#pragma once

#include "platform/CoreGuard.h"

#include <string>

namespace pelko {

// Any UTF-8 text as a script string literal in the given quotes, single by
// default. Bytes that are not well-formed UTF-8 become U+FFFD, so the
// literal always stays one token. The one escaper of every text put into a
// page script.
std::string jsStringLiteral(const std::string& text, char quote = '\'');

}  // namespace pelko
