#include <gtest/gtest.h>

#include <cstddef>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "text/GraphemeClusters.h"
#include "text/UnicodeProperties.h"
#include "voice/Utf8.h"

namespace pelko {
namespace {

struct ClusterCase {
    const char* name;
    std::string text;
    std::vector<std::size_t> boundaries;
};

void PrintTo(const ClusterCase& c, std::ostream* out) { *out << c.name; }

class Clusters : public ::testing::TestWithParam<ClusterCase> {};

TEST_P(Clusters, AreWhatAReaderSeesAsOneCharacter) {
    EXPECT_EQ(graphemeClusterBoundaries(GetParam().text), GetParam().boundaries);
}

INSTANTIATE_TEST_SUITE_P(
    Table, Clusters,
    ::testing::Values(
        ClusterCase{"empty", "", {0}},
        ClusterCase{"ascii", "1.2", {0, 1, 2, 3}},
        ClusterCase{"combiningMark", "5.\u0301", {0, 1, 4}},
        ClusterCase{"zeroWidthJoiner", ".\u200D1", {0, 4, 5}},
        ClusterCase{"spacingMark", ".\u0903", {0, 4}},
        ClusterCase{"prepended", "\u0600.", {0, 3}},
        ClusterCase{"lineEnd", "\r\n.", {0, 2, 3}},
        ClusterCase{"controlTakesNoMark", "\t\u0301", {0, 1, 3}},
        ClusterCase{"hangulSyllable", "\u1100\u1161\u11A8.", {0, 9, 10}},
        ClusterCase{"flagsInPairs", "\U0001F1EB\U0001F1F7\U0001F1E9", {0, 8, 12}},
        ClusterCase{"emojiJoined", "\U0001F468\u200D\U0001F469.", {0, 11, 12}},
        ClusterCase{"joinerAfterNoEmoji", "a\u200D\U0001F469", {0, 4, 8}},
        ClusterCase{"notUtf8IsOneCharacterEach", "\xff\xcc\x81\x80", {0, 3, 4}}),
    [](const auto& p) { return std::string(p.param.name); });

// Every case of Unicode's own test file, where the machine has it for the
// version the tables were generated from (Debian: unicode-data).
TEST(Clusters, AgreeWithUnicodesTestData) {
#ifdef PELKO_GRAPHEME_BREAK_TEST
    const std::string path = PELKO_GRAPHEME_BREAK_TEST;
#else
    const std::string path;
#endif
    std::ifstream file(path);
    if (!file) GTEST_SKIP() << "no GraphemeBreakTest.txt on this machine";
    std::string heading;
    std::getline(file, heading);
    if (heading.find(std::string("-") + unicodeVersion() + ".txt") == std::string::npos)
        GTEST_SKIP() << "the test file is of another Unicode version than the tables: " << heading;

    int cases = 0;
    for (std::string line; std::getline(file, line);) {
        std::istringstream fields(line.substr(0, line.find('#')));
        std::string text;
        std::vector<std::size_t> boundaries;
        for (std::string field; fields >> field;) {
            if (field == "\u00F7") boundaries.push_back(text.size());
            else if (field != "\u00D7") appendUtf8(text, static_cast<char32_t>(std::stoul(field, nullptr, 16)));
        }
        if (text.empty()) continue;
        ++cases;
        EXPECT_EQ(graphemeClusterBoundaries(text), boundaries) << line;
    }
    EXPECT_GT(cases, 500);
}

}  // namespace
}  // namespace pelko
