#pragma once

#include "platform/CoreGuard.h"

#include <string>

namespace pelko {

// Any UTF-8 text as a single-quoted script string literal. Bytes that are
// not well-formed UTF-8 become U+FFFD, so the literal always stays one token.
std::string jsStringLiteral(const std::string& text);

}  // namespace pelko
