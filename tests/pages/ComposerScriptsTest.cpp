#include <gtest/gtest.h>

#include "Page.h"
#include "voice/ComposerScripts.h"

using namespace pelko;
using namespace pelko::e2e;
using nlohmann::json;

namespace {

// Every kind of character a script literal can get wrong, then bytes that
// are not UTF-8, which the page gets as U+FFFD.
const std::string kText = "it's \"quoted\" C:\\dir \\n \\u0041 ${x}\nline\t2 \u2028\u2029 caf\u00e9 \U0001F389 ";
const std::string kOdd = kText + "\xC3'\x80\\";
const std::string kRepaired = kText + "\uFFFD'\uFFFD\\";

struct Compose {
    const char* name;
    bool submit;
    const char* setup;
    std::string transcript;
    const char* target;  // nullptr: no usable textarea
    json values;         // the non-empty textareas afterwards
};

void PrintTo(const Compose& c, std::ostream* os) { *os << c.name; }

class Composer : public ::testing::TestWithParam<Compose> {};

// "second" is a controlled input: only the native setter gets text into it.
TEST_P(Composer, WritesTheChosenTextareaAndSubmitPressesCmdEnterFiftyMsLater) {
    const Compose& c = GetParam();
    Page& page = Page::shared();
    ASSERT_TRUE(page.load());
    page.eval(c.setup);

    EXPECT_EQ(page.eval(c.submit ? composerSubmitScript(c.transcript) : composerInsertScript(c.transcript)),
              (c.target ? json{{"ok", true}} : json{{"ok", false}, {"reason", "no-textarea"}}));
    const json inputs =
        c.target ? json::array({c.target + (":" + c.values.at(c.target).get<std::string>())}) : json::array();
    EXPECT_EQ(
        page.eval("composers()"),
        (json{{"values", c.values}, {"focus", c.target ? c.target : ""}, {"inputs", inputs}, {"keys", json::array()}}));

    // Submit's Cmd+Enter, once, 50 ms on; as "target key code meta ctrl shift alt cancelable".
    EXPECT_EQ(page.eval("fakeClock.advance(49); keys"), json::array());
    const json pressed = c.submit && c.target
                             ? json::array({std::string(c.target) + " Enter Enter true false false false true"})
                             : json::array();
    EXPECT_EQ(page.eval("fakeClock.advance(1); keys"), pressed);
    EXPECT_EQ(page.eval("fakeClock.advance(10000); keys"), pressed);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Rows, Composer,
    ::testing::Values(
        Compose{"InsertAppendsToTheFocused", false, "first.value = 'a'; first.focus()", "b", "first",
                {{"first", "a b"}}},
        Compose{"InsertSkipsAFocusedReadOnly", false, "readonly.focus()", "hi", "second", {{"second", "hi"}}},
        Compose{"InsertFillsTheLastUsableExactly", false, "", kOdd, "second", {{"second", kRepaired}}},
        Compose{"SubmitReplacesTheLastDespiteFocus", true, "first.focus(); second.value = 'a'", kOdd, "second",
                {{"second", kRepaired}}},
        Compose{"InsertFindsNoUsable", false, "first.remove(); second.remove()", "hi", nullptr, json::object()},
        Compose{"SubmitFindsNoUsable", true, "first.remove(); second.remove()", "hi", nullptr, json::object()}),
    [](const ::testing::TestParamInfo<Compose>& param) { return param.param.name; });
// clang-format on

}  // namespace
