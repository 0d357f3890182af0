#include <gtest/gtest.h>

#include <string>

#include "platform/BoundedJson.h"

namespace pelko {
namespace {

std::string nested(int depth) { return std::string(depth, '[') + std::string(depth, ']'); }

struct JsonCase {
    const char* name;
    std::string text;
    bool accepted;
};

class BoundedJson : public ::testing::TestWithParam<JsonCase> {};

TEST_P(BoundedJson, AcceptsValidJsonUpToTheDepthLimit) {
    const auto& c = GetParam();
    const auto value = parseBoundedJson(c.text, 4);
    EXPECT_EQ(value.has_value(), c.accepted);
    if (c.accepted) {
        EXPECT_EQ(*value, nlohmann::json::parse(c.text));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, BoundedJson,
    ::testing::Values(JsonCase{"object", R"({"type":"voice","event":"dictate"})", true},
                      JsonCase{"atLimit", nested(4), true},
                      JsonCase{"pastLimit", nested(5), false},
                      JsonCase{"mixedPastLimit", R"({"a":[{"b":[{}]}]})", false},
                      JsonCase{"bracketsInStringsDoNotCount", R"([["[[[[[", "{{{{"]])", true},
                      JsonCase{"escapedQuoteKeepsTheString", R"([["\"[[[[[["]])", true},
                      JsonCase{"anEscapeCoversOneCharacter", R"(["\n",[[[[[]]]]]])", false},
                      JsonCase{"closedLevelsAreFreedAgain", "[[[[]]],[[[]]]]", true},
                      JsonCase{"notJson", "{type:", false},
                      JsonCase{"nothingAfterANul", std::string("{}\0{", 3), false},
                      JsonCase{"empty", "", false}),
    [](const auto& p) { return std::string(p.param.name); });

}  // namespace
}  // namespace pelko
