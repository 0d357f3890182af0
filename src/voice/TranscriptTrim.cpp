#include "voice/TranscriptTrim.h"

#include "voice/Utf8.h"

#include <cstddef>
#include <optional>

namespace pelko {

namespace {

bool isWhitespaceOrNewline(char32_t c) {
    if (c >= 0x09 && c <= 0x0D) return true;  // tab, line feed, vertical tab, form feed, carriage return
    switch (c) {
    case 0x20: case 0x85: case 0xA0: case 0x1680: case 0x2028: case 0x2029: case 0x202F: case 0x205F: case 0x3000:
        return true;
    default: return c >= 0x2000 && c <= 0x200A;
    }
}

}  // namespace

std::string trimWhitespaceAndNewlines(const std::string& text) {
    std::size_t begin = text.size();  // first byte of the first kept scalar
    std::size_t end = 0;              // one past the last kept scalar
    for (std::size_t at = 0; at < text.size();) {
        std::size_t length = 1;
        const auto scalar = decodeUtf8At(text, at, length);
        if (!scalar || !isWhitespaceOrNewline(*scalar)) {
            if (begin == text.size()) begin = at;
            end = at + length;
        }
        at += length;
    }
    return begin < end ? text.substr(begin, end - begin) : std::string{};
}

}  // namespace pelko
