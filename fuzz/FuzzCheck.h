#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>

namespace pelko::fuzz {

// A broken property stops the fuzzer like a crash, with the input saved.
[[noreturn]] inline void fail(const char* property, const std::string& detail = {}) {
    std::fprintf(stderr, "property broken: %s\n", property);
    if (!detail.empty()) std::fprintf(stderr, "%s\n", detail.c_str());
    std::abort();
}

#define PELKO_FUZZ_REQUIRE(condition, ...) \
    do {                                    \
        if (!(condition)) ::pelko::fuzz::fail(#condition __VA_OPT__(, ) __VA_ARGS__); \
    } while (false)

// Bytes as a C string literal, for messages.
inline std::string quoted(const std::string& text) {
    std::string out = "\"";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte < 0x7f && c != '"' && c != '\\') {
            out += c;
        } else {
            char buffer[8];
            std::snprintf(buffer, sizeof buffer, "\\x%02x", byte);
            out += buffer;
        }
    }
    return out + "\"";
}

// Well-formed UTF-8 after the table of well-formed byte sequences in the
// Unicode standard (ranges of the second byte per lead byte), written apart
// from the core's decoders so that it can check them. The length of the
// sequence at `at`, or 0 when none starts there.
inline std::size_t wellFormedLength(const std::string& text, std::size_t at) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned lead = byte(at);
    if (lead <= 0x7F) return 1;
    unsigned low = 0x80, high = 0xBF;
    std::size_t length = 0;
    if (lead >= 0xC2 && lead <= 0xDF) length = 2;
    else if (lead == 0xE0) length = 3, low = 0xA0;
    else if (lead >= 0xE1 && lead <= 0xEC) length = 3;
    else if (lead == 0xED) length = 3, high = 0x9F;
    else if (lead >= 0xEE && lead <= 0xEF) length = 3;
    else if (lead == 0xF0) length = 4, low = 0x90;
    else if (lead >= 0xF1 && lead <= 0xF3) length = 4;
    else if (lead == 0xF4) length = 4, high = 0x8F;
    else return 0;
    if (at + length > text.size()) return 0;
    if (byte(at + 1) < low || byte(at + 1) > high) return 0;
    for (std::size_t i = 2; i < length; ++i)
        if (byte(at + i) < 0x80 || byte(at + i) > 0xBF) return 0;
    return length;
}

inline bool isUtf8(const std::string& text) {
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t length = wellFormedLength(text, i);
        if (length == 0) return false;
        i += length;
    }
    return true;
}

// The scalar of a well-formed sequence of `length` bytes at `at`.
inline char32_t scalarAt(const std::string& text, std::size_t at, std::size_t length) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    if (length == 1) return byte(at);
    char32_t value = byte(at) & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i) value = (value << 6) | (byte(at + i) & 0x3F);
    return value;
}

}  // namespace pelko::fuzz
