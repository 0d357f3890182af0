#include <gtest/gtest.h>

#include <tuple>

#include "SharedPage.h"
#include "voice/ComposerScripts.h"
#include "voice/JsStringLiteral.h"

using namespace pelko;
using namespace pelko::pagetest;
using nlohmann::json;

namespace {

enum class Script { insert, submit };

const char* nameOf(Script script) { return script == Script::insert ? "Insert" : "Submit"; }

void PrintTo(Script script, std::ostream* os) { *os << nameOf(script); }

std::string scriptFor(Script script, const std::string& transcript) {
    return script == Script::insert ? composerInsertScript(transcript) : composerSubmitScript(transcript);
}

// A test-side string as a script expression, independent of jsStringLiteral.
std::string expr(const std::string& text) { return json(text).dump(-1, ' ', true); }

std::string element(const std::string& id) { return "document.getElementById(" + expr(id) + ")"; }

json valueOf(PageHarness& page, const std::string& id) { return page.eval(element(id) + ".value"); }

json activeId(PageHarness& page) { return page.eval("document.activeElement ? document.activeElement.id : null"); }

// Lets more than the submit script's 50 ms pass on the page's own clock.
void letPageTimersRun(PageHarness& page) {
    page.eval("window.__waited = false; setTimeout(function () { window.__waited = true; }, 200); true");
    ASSERT_TRUE(page.waitForScript("window.__waited === true"));
}

const json kOk = {{"ok", true}};
const json kNoTextarea = {{"ok", false}, {"reason", "no-textarea"}};

// --- Transcripts arrive unchanged ------------------------------------------

struct Transcript {
    const char* name;
    std::string text;
};

const Transcript kTranscripts[] = {
    {"Apostrophe", "it's what they'd said"},
    {"Backslash", "C:\\Users\\me and \\n literally"},
    {"LineFeed", "first line\nsecond line"},
    {"Tab", "col1\tcol2"},
    {"DoubleQuote", "she said \"hello\""},
    {"LineSeparator", "before\u2028after\u2029end"},
    {"NonAscii", "Gr\u00fc\u00dfe, \u65e5\u672c\u8a9e, caf\u00e9 \U0001F389"},
    {"LiteralSeparator", "a ' : ' b"},
    {"EscapeLookalike", "\\u0041 and \\x41 and ${x}"},
    {"ScriptTag", "</script><script>window.hacked = true</script>"},
};

void PrintTo(const Transcript& transcript, std::ostream* os) { *os << transcript.name; }

using TranscriptParam = std::tuple<const char*, Transcript>;

class TranscriptArrives : public ::testing::TestWithParam<TranscriptParam> {};

TEST_P(TranscriptArrives, ThroughInsertAndSubmit) {
    const std::string fixture = std::get<0>(GetParam());
    const std::string text = std::get<1>(GetParam()).text;
    const bool controlled = fixture == "controlled-composer.html";
    PageHarness& page = sharedPage();

    ASSERT_TRUE(page.loadFixture(fixture));
    ScriptOutcome inserted = page.evaluate(composerInsertScript(text));
    ASSERT_FALSE(inserted.error) << inserted.error->message;
    EXPECT_EQ(inserted.result, kOk);
    EXPECT_EQ(valueOf(page, "composer"), text);
    if (controlled) {
        EXPECT_EQ(page.eval("composerState.text"), text);
    }

    ASSERT_TRUE(page.loadFixture(fixture));
    ScriptOutcome submitted = page.evaluate(composerSubmitScript(text));
    ASSERT_FALSE(submitted.error) << submitted.error->message;
    EXPECT_EQ(submitted.result, kOk);
    EXPECT_EQ(page.eval("inputs.length ? inputs[inputs.length - 1].value : null"), text);
    ASSERT_TRUE(page.waitForScript("keydowns.length === 1"));
    if (controlled) {
        // The page's own send took the text from its state.
        EXPECT_EQ(page.eval("sent"), json::array({text}));
    } else {
        EXPECT_EQ(page.eval("keydowns[0].value"), text);
    }
    EXPECT_EQ(page.eval("window.hacked === undefined"), true);
}

INSTANTIATE_TEST_SUITE_P(Composers, TranscriptArrives,
                         ::testing::Combine(::testing::Values("composer.html", "controlled-composer.html"),
                                            ::testing::ValuesIn(kTranscripts)),
                         [](const ::testing::TestParamInfo<TranscriptParam>& param) {
                             const std::string fixture = std::get<0>(param.param);
                             return std::string(fixture == "composer.html" ? "Plain" : "Controlled") +
                                    std::get<1>(param.param).name;
                         });

// Bytes that are not UTF-8 reach the page as U+FFFD and cannot end the literal.
TEST(TranscriptArrivesRepaired, InvalidUtf8BecomesReplacementCharacters) {
    PageHarness& page = sharedPage();
    ASSERT_TRUE(page.loadFixture("composer.html"));
    EXPECT_EQ(page.eval(composerSubmitScript("a\xC3'b\x80\\")), kOk);
    EXPECT_EQ(valueOf(page, "composer"), "a\uFFFD'b\uFFFD\\");
}

// The controlled fixture must really drop a plain assignment, or the tests
// above would not show that the native setter matters.
TEST(ControlledComposerFixture, DropsAPlainAssignment) {
    PageHarness& page = sharedPage();
    ASSERT_TRUE(page.loadFixture("controlled-composer.html"));
    page.eval(element("composer") + ".value = 'typed'; " + element("composer") +
              ".dispatchEvent(new Event('input', { bubbles: true })); true");
    EXPECT_EQ(page.eval("composerState.text"), "");
    EXPECT_EQ(valueOf(page, "composer"), "");
}

// --- Submit: the Cmd+Enter key press ----------------------------------------

TEST(SubmitScript, PressesCmdEnterFiftyMillisecondsAfterReturning) {
    PageHarness& page = sharedPage();
    ASSERT_TRUE(page.loadFixture("composer.html"));
    // Run the script from inside the page so that what had happened by the
    // time it returned can be read in the same turn.
    const json observed = page.eval("(function () { var result = eval(" + jsStringLiteral(composerSubmitScript("send me")) +
                                    "); return { result: result, keydowns: keydowns.length }; })()");
    EXPECT_EQ(observed["result"], kOk);
    EXPECT_EQ(observed["keydowns"], 0);

    ASSERT_TRUE(page.waitForScript("keydowns.length === 1"));
    letPageTimersRun(page);
    const json keydowns = page.eval("keydowns");
    ASSERT_EQ(keydowns.size(), 1u) << keydowns.dump();
    const json& key = keydowns[0];
    EXPECT_EQ(key["target"], "composer");
    EXPECT_EQ(key["key"], "Enter");
    EXPECT_EQ(key["code"], "Enter");
    EXPECT_EQ(key["metaKey"], true);
    EXPECT_EQ(key["ctrlKey"], false);
    EXPECT_EQ(key["shiftKey"], false);
    EXPECT_EQ(key["altKey"], false);
    EXPECT_EQ(key["cancelable"], true);  // it reached the document, so it bubbles
    EXPECT_EQ(key["value"], "send me");

    const double delay = key["at"].get<double>() - page.eval("inputs[0].at").get<double>();
    EXPECT_GE(delay, 45.0);
    EXPECT_LT(delay, 1000.0);
}

TEST(InsertScript, NeverPressesAKey) {
    PageHarness& page = sharedPage();
    ASSERT_TRUE(page.loadFixture("composer.html"));
    EXPECT_EQ(page.eval(composerInsertScript("just text")), kOk);
    letPageTimersRun(page);
    EXPECT_EQ(page.eval("keydowns.length"), 0);
    EXPECT_EQ(page.eval("inputs.map(function (i) { return i.target + ':' + i.value; })"),
              json::array({"composer:just text"}));
}

// --- Which textarea: focus, append, replace ---------------------------------

struct FocusCase {
    const char* name;
    Script script;
    const char* focus;  // element id, or nullptr for nothing focused
    std::string firstBefore;
    std::string secondBefore;
    std::string firstAfter;
    std::string secondAfter;
    const char* target;
};

void PrintTo(const FocusCase& c, std::ostream* os) { *os << c.name; }

class ComposerChoice : public ::testing::TestWithParam<FocusCase> {};

TEST_P(ComposerChoice, FollowsTheFocusRules) {
    const FocusCase& c = GetParam();
    PageHarness& page = sharedPage();
    ASSERT_TRUE(page.loadFixture("two-composers.html"));
    page.eval(element("first") + ".value = " + expr(c.firstBefore) + "; " + element("second") +
              ".value = " + expr(c.secondBefore) + "; true");
    if (c.focus != nullptr) {
        page.eval(element(c.focus) + ".focus(); true");
        ASSERT_EQ(activeId(page), c.focus) << "the fixture could not focus " << c.focus;
    } else {
        page.eval("document.activeElement.blur(); true");
        ASSERT_EQ(page.eval("document.activeElement === document.body"), true);
    }

    EXPECT_EQ(page.eval(scriptFor(c.script, "hello")), kOk);
    EXPECT_EQ(valueOf(page, "first"), c.firstAfter);
    EXPECT_EQ(valueOf(page, "second"), c.secondAfter);
    EXPECT_EQ(activeId(page), c.target);
    EXPECT_EQ(page.eval("inputs.map(function (i) { return i.target; })"), json::array({c.target}));
}

INSTANTIATE_TEST_SUITE_P(
    TwoTextareas, ComposerChoice,
    ::testing::Values(
        FocusCase{"InsertIntoFocusedFirst", Script::insert, "first", "", "", "hello", "", "first"},
        FocusCase{"InsertIntoFocusedLast", Script::insert, "second", "", "", "", "hello", "second"},
        FocusCase{"InsertWithButtonFocusedGoesLast", Script::insert, "other", "", "", "", "hello", "second"},
        FocusCase{"InsertWithNothingFocusedGoesLast", Script::insert, nullptr, "", "", "", "hello", "second"},
        FocusCase{"InsertAppendsWithOneSpace", Script::insert, "first", "draft", "other", "draft hello", "other",
                  "first"},
        FocusCase{"InsertKeepsTrailingText", Script::insert, nullptr, "", "ends with space ", "",
                  "ends with space  hello", "second"},
        FocusCase{"SubmitIgnoresFocusedFirst", Script::submit, "first", "keep", "", "keep", "hello", "second"},
        FocusCase{"SubmitWithNothingFocused", Script::submit, nullptr, "", "", "", "hello", "second"},
        FocusCase{"SubmitReplaces", Script::submit, "second", "", "old text\nsecond line", "", "hello", "second"}),
    [](const ::testing::TestParamInfo<FocusCase>& param) { return param.param.name; });

// --- Unusable textareas -----------------------------------------------------

const char* const kUnusable[] = {"hidden", "insideHidden", "disabled", "readonly"};

using UnusableParam = std::tuple<Script, const char*>;

class UnusableTextarea : public ::testing::TestWithParam<UnusableParam> {};

TEST_P(UnusableTextarea, IsNeverChosenEvenWhenFocused) {
    const auto [script, unusable] = GetParam();
    PageHarness& page = sharedPage();
    ASSERT_TRUE(page.loadFixture("unusable-composers.html"));
    // Only the usable one (first) and this one (last) remain.
    page.eval("Array.prototype.forEach.call(document.querySelectorAll('textarea'), function (el) {"
              "  if (el.id !== 'usable' && el.id !== " + expr(unusable) + ") { el.remove(); } }); " +
              element(unusable) + ".focus(); true");
    if (std::string(unusable) == "readonly") {
        ASSERT_EQ(activeId(page), "readonly") << "the fixture could not focus the read-only textarea";
    }

    EXPECT_EQ(page.eval(scriptFor(script, "hello")), kOk);
    EXPECT_EQ(valueOf(page, "usable"), "hello");
    EXPECT_EQ(valueOf(page, unusable), "");
    EXPECT_EQ(activeId(page), "usable");
}

INSTANTIATE_TEST_SUITE_P(Kinds, UnusableTextarea,
                         ::testing::Combine(::testing::Values(Script::insert, Script::submit),
                                            ::testing::ValuesIn(kUnusable)),
                         [](const ::testing::TestParamInfo<UnusableParam>& param) {
                             return std::string(nameOf(std::get<0>(param.param))) + "_" + std::get<1>(param.param);
                         });

class NoUsableTextarea : public ::testing::TestWithParam<Script> {};

TEST_P(NoUsableTextarea, ReportsNoTextareaAndTouchesNothing) {
    PageHarness& page = sharedPage();
    ASSERT_TRUE(page.loadFixture("unusable-composers.html"));
    page.eval(element("usable") + ".remove(); " + element("readonly") + ".focus(); true");

    ScriptOutcome outcome = page.evaluate(scriptFor(GetParam(), "hello"));
    ASSERT_FALSE(outcome.error) << outcome.error->message;
    EXPECT_EQ(outcome.result, kNoTextarea);
    EXPECT_FALSE(pageScriptSucceeded(outcome.result, outcome.error));

    letPageTimersRun(page);
    EXPECT_EQ(page.eval("Array.prototype.map.call(document.querySelectorAll('textarea'), function (el) {"
                        "  return el.value; }).join('')"),
              "");
    EXPECT_EQ(page.eval("inputs.length + keydowns.length"), 0);
}

INSTANTIATE_TEST_SUITE_P(Scripts, NoUsableTextarea, ::testing::Values(Script::insert, Script::submit),
                         [](const ::testing::TestParamInfo<Script>& param) { return nameOf(param.param); });

TEST(ComposerResult, AnOkTrueFromThePageCountsAsSuccess) {
    PageHarness& page = sharedPage();
    ASSERT_TRUE(page.loadFixture("composer.html"));
    ScriptOutcome outcome = page.evaluate(composerInsertScript("x"));
    EXPECT_TRUE(pageScriptSucceeded(outcome.result, outcome.error));
}

}  // namespace
