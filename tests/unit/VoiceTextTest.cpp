#include <gtest/gtest.h>

#include "platform/WebView.h"
#include "voice/ComposerScripts.h"
#include "voice/JsStringLiteral.h"
#include "voice/TranscriptTrim.h"

using namespace pelko;
using nlohmann::json;

namespace {

class Literal : public ::testing::TestWithParam<std::pair<std::string, std::string>> {};

TEST_P(Literal, IsOneSingleQuotedTokenWhateverTheText) { EXPECT_EQ(jsStringLiteral(GetParam().first), GetParam().second); }

// Each byte that is not well-formed UTF-8 becomes U+FFFD, so nothing can end
// the literal early and the valid text around it is kept.
INSTANTIATE_TEST_SUITE_P(
    Texts, Literal,
    ::testing::Values(std::pair{"", "''"}, std::pair{"it's \"so\"", "'it\\'s \"so\"'"}, std::pair{"a\\b", "'a\\\\b'"},
                      std::pair{"l1\r\nl2\t", "'l1\\r\\nl2\\u0009'"}, std::pair{"\u2028\u2029", "'\\u2028\\u2029'"},
                      std::pair{std::string("\0\x1f\x7f", 3), "'\\u0000\\u001f\x7f'"},
                      std::pair{"caf\u00E9 \U0001F600\u0085", "'caf\u00E9 \U0001F600\u0085'"},
                      std::pair{"a\x80'b\xC3'", "'a\uFFFD\\'b\uFFFD\\''"},
                      std::pair{"ok\xF0\x9F\x98", "'ok\uFFFD\uFFFD\uFFFD'"},
                      std::pair{"\xC0\xA7\xED\xA0\x80", "'\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD'"}));

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

class Trim : public ::testing::TestWithParam<std::pair<std::string, std::string>> {};

TEST_P(Trim, RemovesWhitespaceAndNewlinesAtBothEndsOnly) {
    EXPECT_EQ(trimWhitespaceAndNewlines(GetParam().first), GetParam().second);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, Trim,
    ::testing::Values(std::pair{"", ""}, std::pair{"\t\n\v\f\r hi \r\n\t", "hi"}, std::pair{"  a \n b  ", "a \n b"},
                      std::pair{"\u00A0\u2003\u3000hi\u202F\u0085\u2028", "hi"},
                      std::pair{"\u200Bhi", "\u200Bhi"},  // a zero-width space is text
                      std::pair{" \xFF hi \xE2\x80", "\xFF hi \xE2\x80"},
                      std::pair{"\xC0\xA0hi", "\xC0\xA0hi"}));  // an overlong space is not a space

TEST(PageScriptResult, CountsOnlyAnOkTrueWithoutError) {
    EXPECT_TRUE(pageScriptSucceeded(json{{"ok", true}, {"reason", "ignored"}}, std::nullopt));
    for (const auto& result : {json{{"ok", "true"}}, json{{"ok", 1}}, json(true), json::object(), json(nullptr)})
        EXPECT_FALSE(pageScriptSucceeded(result, std::nullopt)) << result;
    EXPECT_FALSE(pageScriptSucceeded(std::nullopt, std::nullopt));
    EXPECT_FALSE(pageScriptSucceeded(json{{"ok", true}}, ScriptError{"late failure"}));
}

}  // namespace
