#include "voice/JsStringLiteral.h"

#include <cstdint>
#include <cstdio>

namespace pelko {

namespace {

constexpr char32_t kReplacementCharacter = 0xFFFD;

// Decodes the scalar that starts at `i` and moves `i` past it. A byte that
// does not begin a well-formed sequence (stray continuation byte, truncated
// or overlong sequence, surrogate, value above U+10FFFF) decodes as U+FFFD
// and only that one byte is consumed, so the rest of the text survives.
char32_t nextScalar(const std::string& text, std::size_t& i) {
    const auto byteAt = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byteAt(i);
    if (lead < 0x80) {
        ++i;
        return lead;
    }
    std::size_t length = 0;
    char32_t scalar = 0;
    char32_t minimum = 0;
    if ((lead & 0xE0) == 0xC0) {
        length = 2;
        scalar = lead & 0x1F;
        minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3;
        scalar = lead & 0x0F;
        minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4;
        scalar = lead & 0x07;
        minimum = 0x10000;
    } else {
        ++i;
        return kReplacementCharacter;
    }
    if (i + length > text.size()) {
        ++i;
        return kReplacementCharacter;
    }
    for (std::size_t k = 1; k < length; ++k) {
        const unsigned char continuation = byteAt(i + k);
        if ((continuation & 0xC0) != 0x80) {
            ++i;
            return kReplacementCharacter;
        }
        scalar = (scalar << 6) | (continuation & 0x3F);
    }
    if (scalar < minimum || scalar > 0x10FFFF || (scalar >= 0xD800 && scalar <= 0xDFFF)) {
        ++i;
        return kReplacementCharacter;
    }
    i += length;
    return scalar;
}

void appendUtf8(std::string& out, char32_t scalar) {
    if (scalar < 0x80) {
        out += static_cast<char>(scalar);
    } else if (scalar < 0x800) {
        out += static_cast<char>(0xC0 | (scalar >> 6));
        out += static_cast<char>(0x80 | (scalar & 0x3F));
    } else if (scalar < 0x10000) {
        out += static_cast<char>(0xE0 | (scalar >> 12));
        out += static_cast<char>(0x80 | ((scalar >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (scalar & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (scalar >> 18));
        out += static_cast<char>(0x80 | ((scalar >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((scalar >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (scalar & 0x3F));
    }
}

}  // namespace

std::string jsStringLiteral(const std::string& text) {
    std::string out;
    out.reserve(text.size() + 2);
    out += '\'';
    std::size_t i = 0;
    while (i < text.size()) {
        const char32_t scalar = nextScalar(text, i);
        switch (scalar) {
            case U'\n':
                out += "\\n";
                break;
            case U'\r':
                out += "\\r";
                break;
            case U'\'':
                out += "\\'";
                break;
            case U'\\':
                out += "\\\\";
                break;
            case 0x2028:
                out += "\\u2028";
                break;
            case 0x2029:
                out += "\\u2029";
                break;
            default:
                if (scalar < 0x20) {
                    char buffer[8];
                    std::snprintf(buffer, sizeof buffer, "\\u%04x", static_cast<unsigned>(scalar));
                    out += buffer;
                } else {
                    appendUtf8(out, scalar);
                }
        }
    }
    out += '\'';
    return out;
}

}  // namespace pelko
