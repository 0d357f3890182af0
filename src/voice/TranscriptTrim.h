#pragma once

#include "platform/CoreGuard.h"

#include <string>

namespace pelko {

// `text` (UTF-8) without the whitespace and newline characters at both ends:
// the Unicode space separators, tab, line feed, vertical tab, form feed,
// carriage return, U+0085, U+2028 and U+2029. Inner text stays as it is;
// bytes that are not valid UTF-8 count as text.
std::string trimWhitespaceAndNewlines(const std::string& text);

}  // namespace pelko
