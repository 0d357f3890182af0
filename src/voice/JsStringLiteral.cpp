#include "voice/JsStringLiteral.h"

#include "voice/Utf8.h"

#include <cstdint>
#include <cstdio>

namespace pelko {

namespace {
// What a byte that does not begin a well-formed sequence turns into, so the
// literal can never be broken out of and the rest of the text survives.
constexpr char32_t kReplacementCharacter = 0xFFFD;
}  // namespace

std::string jsStringLiteral(const std::string& text, char quote) {
    std::string out;
    out.reserve(text.size() + 2);
    out += quote;
    std::size_t i = 0;
    while (i < text.size()) {
        std::size_t length = 1;
        const char32_t scalar = decodeUtf8At(text, i, length).value_or(kReplacementCharacter);
        i += length;
        switch (scalar) {
            case U'\n':
                out += "\\n";
                break;
            case U'\r':
                out += "\\r";
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
                if (scalar == static_cast<unsigned char>(quote)) {
                    out += '\\';
                    out += quote;
                } else if (scalar < 0x20) {
                    char buffer[8];
                    std::snprintf(buffer, sizeof buffer, "\\u%04x", static_cast<unsigned>(scalar));
                    out += buffer;
                } else {
                    appendUtf8(out, scalar);
                }
        }
    }
    out += quote;
    return out;
}

}  // namespace pelko
