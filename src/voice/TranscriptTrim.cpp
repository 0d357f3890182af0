#include "voice/TranscriptTrim.h"

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

// The scalar that starts at `at` and its length in bytes; none for a byte
// that does not start a well-formed sequence (it then stands for itself).
std::optional<char32_t> decodeAt(const std::string& text, std::size_t at, std::size_t& length) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    length = 1;
    if (lead < 0x80) return lead;
    std::size_t count = 0;
    char32_t scalar = 0;
    char32_t minimum = 0;
    if ((lead & 0xE0) == 0xC0) {
        count = 1;
        scalar = lead & 0x1F;
        minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        count = 2;
        scalar = lead & 0x0F;
        minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        count = 3;
        scalar = lead & 0x07;
        minimum = 0x10000;
    } else {
        return std::nullopt;
    }
    if (at + count >= text.size()) return std::nullopt;  // cut short by the end of the text
    for (std::size_t i = 1; i <= count; ++i) {
        const unsigned char next = byte(at + i);
        if ((next & 0xC0) != 0x80) return std::nullopt;
        scalar = (scalar << 6) | (next & 0x3F);
    }
    if (scalar < minimum || scalar > 0x10FFFF || (scalar >= 0xD800 && scalar <= 0xDFFF)) return std::nullopt;
    length = count + 1;
    return scalar;
}

}  // namespace

std::string trimWhitespaceAndNewlines(const std::string& text) {
    std::size_t begin = text.size();  // first byte of the first kept scalar
    std::size_t end = 0;              // one past the last kept scalar
    for (std::size_t at = 0; at < text.size();) {
        std::size_t length = 1;
        const auto scalar = decodeAt(text, at, length);
        if (!scalar || !isWhitespaceOrNewline(*scalar)) {
            if (begin == text.size()) begin = at;
            end = at + length;
        }
        at += length;
    }
    return begin < end ? text.substr(begin, end - begin) : std::string{};
}

}  // namespace pelko
