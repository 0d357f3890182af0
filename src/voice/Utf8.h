#pragma once

#include "platform/CoreGuard.h"

#include <cstddef>
#include <optional>
#include <string>

namespace pelko {

// The scalar that starts at byte `at` of UTF-8 `text`, and in `length` how
// many bytes it takes. None, with `length` 1, for a byte that does not begin
// a well-formed sequence (stray continuation byte, truncated or overlong
// sequence, surrogate, value above U+10FFFF), so callers can carry on with
// the next byte and keep the rest of the text.
std::optional<char32_t> decodeUtf8At(const std::string& text, std::size_t at, std::size_t& length);

void appendUtf8(std::string& out, char32_t scalar);

}  // namespace pelko
