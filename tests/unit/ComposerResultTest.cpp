#include <gtest/gtest.h>

#include "voice/ComposerScripts.h"

using namespace pelko;
using nlohmann::json;

namespace {

struct ResultCase {
    const char* name;
    std::optional<json> result;
    std::optional<ScriptError> error;
    bool succeeded;
};

void PrintTo(const ResultCase& c, std::ostream* os) { *os << c.name; }

class PageScriptResult : public ::testing::TestWithParam<ResultCase> {};

TEST_P(PageScriptResult, CountsOnlyOkTrue) {
    EXPECT_EQ(pageScriptSucceeded(GetParam().result, GetParam().error), GetParam().succeeded);
}

INSTANTIATE_TEST_SUITE_P(
    Table, PageScriptResult,
    ::testing::Values(
        ResultCase{"okTrue", json{{"ok", true}}, std::nullopt, true},
        ResultCase{"okTrueWithOtherEntries", json{{"ok", true}, {"reason", "ignored"}}, std::nullopt, true},
        ResultCase{"errorAlone", std::nullopt, ScriptError{"ReferenceError"}, false},
        ResultCase{"errorBesideOkTrue", json{{"ok", true}}, ScriptError{"late failure"}, false},
        ResultCase{"noResult", std::nullopt, std::nullopt, false},
        ResultCase{"nullResult", json(nullptr), std::nullopt, false},
        ResultCase{"bareTrue", json(true), std::nullopt, false},
        ResultCase{"string", json("ok"), std::nullopt, false},
        ResultCase{"array", json::array({true}), std::nullopt, false},
        ResultCase{"missingOk", json{{"reason", "no-textarea"}}, std::nullopt, false},
        ResultCase{"emptyObject", json::object(), std::nullopt, false},
        ResultCase{"okStringTrue", json{{"ok", "true"}}, std::nullopt, false},
        ResultCase{"okOne", json{{"ok", 1}}, std::nullopt, false},
        ResultCase{"okNull", json{{"ok", nullptr}}, std::nullopt, false},
        ResultCase{"okFalse", json{{"ok", false}, {"reason", "no-textarea"}}, std::nullopt, false}),
    [](const ::testing::TestParamInfo<ResultCase>& param) { return param.param.name; });

// The transcript travels twice in the insert script and once in the submit
// script, always as the escaped literal and never raw.
TEST(ComposerScriptText, CarriesTheTranscriptOnlyAsALiteral) {
    const std::string transcript = "it's a \"test\"\n";
    const std::string literal = "'it\\'s a \"test\"\\n'";
    const std::string insert = composerInsertScript(transcript);
    const std::string submit = composerSubmitScript(transcript);
    EXPECT_NE(insert.find(literal + " : " + literal), std::string::npos) << insert;
    EXPECT_NE(submit.find("setter.call(target, " + literal + ")"), std::string::npos) << submit;
    EXPECT_EQ(insert.find(transcript), std::string::npos);
    EXPECT_EQ(submit.find(transcript), std::string::npos);
}

}  // namespace
