#include <gtest/gtest.h>

#include "SharedPage.h"

using namespace pelko::pagetest;
using nlohmann::json;

// The engine's answers that the composer and watcher tests rely on.
TEST(PageHarness, ConvertsScriptResultsAsTheBackendSeesThem) {
    PageHarness& page = sharedPage();
    ASSERT_TRUE(page.loadFixture("composer.html"));

    ScriptOutcome object = page.evaluate("(function () { return { ok: true, n: 2, s: 'x' }; })()");
    ASSERT_FALSE(object.error);
    EXPECT_EQ(object.result, (json{{"ok", true}, {"n", 2}, {"s", "x"}}));

    ScriptOutcome undefinedResult = page.evaluate("(function () {})()");
    EXPECT_FALSE(undefinedResult.error);
    EXPECT_FALSE(undefinedResult.result);

    ScriptOutcome thrown = page.evaluate("(function () { throw new Error('boom'); })()");
    ASSERT_TRUE(thrown.error);
    EXPECT_NE(thrown.error->message.find("boom"), std::string::npos);

    // A promise cannot be returned to the application; the scripts must not return one.
    EXPECT_TRUE(page.evaluate("Promise.resolve({ ok: true })").error);
}

TEST(PageHarness, RecordsBridgeMessagesInOrder) {
    PageHarness& page = sharedPage();
    ASSERT_TRUE(page.loadFixture("composer.html"));
    page.eval("window.webkit.messageHandlers.pelko.postMessage({ type: 'voice', event: 'a' });"
              "window.webkit.messageHandlers.pelko.postMessage({ type: 'voice', event: 'b', n: 1 }); true");
    ASSERT_TRUE(page.drainMessages());
    EXPECT_EQ(page.messages(), (std::vector<json>{{{"type", "voice"}, {"event", "a"}},
                                                  {{"type", "voice"}, {"event", "b"}, {"n", 1}}}));
    ASSERT_TRUE(page.loadFixture("composer.html"));
    EXPECT_TRUE(page.messages().empty());
}
