#include <gtest/gtest.h>

#include "voice/JsStringLiteral.h"

using pelko::jsStringLiteral;

namespace {

struct LiteralCase {
    const char* name;
    std::string text;
    std::string literal;
};

void PrintTo(const LiteralCase& c, std::ostream* os) { *os << c.name; }

class JsStringLiteral : public ::testing::TestWithParam<LiteralCase> {};

TEST_P(JsStringLiteral, EscapesByScalar) { EXPECT_EQ(jsStringLiteral(GetParam().text), GetParam().literal); }

INSTANTIATE_TEST_SUITE_P(
    Table, JsStringLiteral,
    ::testing::Values(
        LiteralCase{"empty", "", "''"},
        LiteralCase{"plain", "hello world", "'hello world'"},
        LiteralCase{"lineFeed", "a\nb", "'a\\nb'"},
        LiteralCase{"carriageReturn", "a\rb", "'a\\rb'"},
        LiteralCase{"apostrophe", "it's", "'it\\'s'"},
        LiteralCase{"backslash", "a\\b", "'a\\\\b'"},
        LiteralCase{"lineSeparator", "a\u2028b", "'a\\u2028b'"},
        LiteralCase{"paragraphSeparator", "a\u2029b", "'a\\u2029b'"},
        LiteralCase{"tab", "a\tb", "'a\\u0009b'"},
        LiteralCase{"nul", std::string("a\0b", 3), "'a\\u0000b'"},
        LiteralCase{"unitSeparatorLowercaseHex", "\x1f\x1b", "'\\u001f\\u001b'"},
        LiteralCase{"spaceUnchanged", " ", "' '"},
        LiteralCase{"doubleQuoteUnchanged", "say \"hi\"", "'say \"hi\"'"},
        LiteralCase{"deleteUnchanged", "\x7f", "'\x7f'"},
        LiteralCase{"nonAsciiUnchanged", "caf\u00e9 \u00fcber \u65e5\u672c", "'caf\u00e9 \u00fcber \u65e5\u672c'"},
        LiteralCase{"nextLineUnchanged", "\u0085", "'\u0085'"},
        LiteralCase{"fourByteScalars", "\U0001F600\U00010348", "'\U0001F600\U00010348'"},
        LiteralCase{"highestScalar", "\U0010FFFF", "'\U0010FFFF'"},
        LiteralCase{"crlfPair", "\r\n", "'\\r\\n'"},
        // Invalid UTF-8: each offending byte becomes U+FFFD, so nothing can
        // end the literal early and the valid text around it is kept.
        LiteralCase{"strayContinuation", "a\x80'b", "'a\uFFFD\\'b'"},
        LiteralCase{"leadByteBeforeApostrophe", "\xC3'", "'\uFFFD\\''"},
        LiteralCase{"leadByteBeforeBackslash", "\xE2\\", "'\uFFFD\\\\'"},
        LiteralCase{"truncatedAtEnd", "ok\xF0\x9F\x98", "'ok\uFFFD\uFFFD\uFFFD'"},
        LiteralCase{"overlongApostrophe", "\xC0\xA7", "'\uFFFD\uFFFD'"},
        LiteralCase{"overlongSlash", "\xE0\x80\xAF", "'\uFFFD\uFFFD\uFFFD'"},
        LiteralCase{"encodedSurrogate", "\xED\xA0\x80", "'\uFFFD\uFFFD\uFFFD'"},
        LiteralCase{"aboveUnicode", "\xF4\x90\x80\x80", "'\uFFFD\uFFFD\uFFFD\uFFFD'"},
        LiteralCase{"invalidLeadBytes", "\xF8\xFF", "'\uFFFD\uFFFD'"}),
    [](const ::testing::TestParamInfo<LiteralCase>& param) { return param.param.name; });

// Whatever bytes come in, the literal is one quoted token: only the first and
// last characters are unescaped apostrophes, and no raw line terminator is left.
TEST(JsStringLiteralShape, EveryByteStaysInsideTheQuotes) {
    std::string all;
    for (int byte = 0; byte < 256; ++byte) {
        all += static_cast<char>(byte);
        all += '\'';
    }
    const std::string literal = jsStringLiteral(all);
    ASSERT_GE(literal.size(), 2u);
    EXPECT_EQ(literal.front(), '\'');
    EXPECT_EQ(literal.back(), '\'');
    bool escaped = false;
    for (std::size_t i = 1; i + 1 < literal.size(); ++i) {
        const char c = literal[i];
        EXPECT_FALSE(c == '\n' || c == '\r') << "raw line terminator at " << i;
        EXPECT_FALSE(literal.compare(i, 3, "\u2028") == 0 || literal.compare(i, 3, "\u2029") == 0);
        if (escaped) {
            escaped = false;
        } else if (c == '\\') {
            escaped = true;
        } else {
            EXPECT_NE(c, '\'') << "unescaped apostrophe at " << i;
        }
    }
    EXPECT_FALSE(escaped) << "the closing apostrophe is escaped";
}

}  // namespace
