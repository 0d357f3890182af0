#pragma once

#include "platform/CoreGuard.h"

#include <string>

namespace pelko {

// Any UTF-8 text as a single-quoted script string literal.
std::string jsStringLiteral(const std::string& text);

}  // namespace pelko
