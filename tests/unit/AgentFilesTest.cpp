#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "agent/AgentFiles.h"
#include "fakes/LaunchdJob.h"
#include "fakes/XmlLaunchdJob.h"

namespace pelko {
namespace {

TEST(AgentPropertyList, IsExactlyTheJobLaunchdRuns) {
    const std::string home = "/Users/sam";
    const std::string bundle = "/Applications/Pelko.app";
    EXPECT_EQ(agentPropertyListPath(home), "/Users/sam/Library/LaunchAgents/ai.pelko.imessage-agent.plist");
    EXPECT_EQ(selfManagedAgentPropertyListPath(home), "/Users/sam/Library/LaunchAgents/com.pelko.agent.plist");
    EXPECT_EQ(selfManagedAgentConfigurationPath(home), "/Users/sam/.config/pelko-agent/config.json");
    EXPECT_EQ(agentPropertyList(helperExecutablePath(bundle), helperScriptPath(bundle), "123-456",
                                "https://pelko.ai/api", agentLogDirectory(home)),
              R"(<?xml version="1.0" encoding="UTF-8"?>
<!DOCTYPE plist PUBLIC "-//Apple//DTD PLIST 1.0//EN" "http://www.apple.com/DTDs/PropertyList-1.0.dtd">
<plist version="1.0">
<dict>
  <key>Label</key><string>ai.pelko.imessage-agent</string>
  <key>ProgramArguments</key>
  <array>
    <string>/Applications/Pelko.app/Contents/Resources/imessage-agent/PelkoHelper</string>
    <string>/Applications/Pelko.app/Contents/Resources/imessage-agent/dist/index.js</string>
    <string>run</string>
  </array>
  <key>EnvironmentVariables</key>
  <dict>
    <key>PELKO_PAIR_CODE</key><string>123-456</string>
    <key>PELKO_API_URL</key><string>https://pelko.ai/api</string>
  </dict>
  <key>RunAtLoad</key><true/>
  <key>KeepAlive</key><dict><key>SuccessfulExit</key><false/></dict>
  <key>ThrottleInterval</key><integer>10</integer>
  <key>ProcessType</key><string>Background</string>
  <key>StandardOutPath</key><string>/Users/sam/Library/Logs/pelko-agent/pelko-agent.log</string>
  <key>StandardErrorPath</key><string>/Users/sam/Library/Logs/pelko-agent/pelko-agent.err.log</string>
</dict>
</plist>)");
}

struct RoundTrip {
    const char* name;
    std::string home;
    std::string bundle;
    std::string code;
    std::string api;
};

class PropertyListValues : public ::testing::TestWithParam<RoundTrip> {};

TEST_P(PropertyListValues, ReadBackExactlyAsSent) {
    const auto& c = GetParam();
    const std::string text = agentPropertyList(helperExecutablePath(c.bundle), helperScriptPath(c.bundle), c.code,
                                               c.api, agentLogDirectory(c.home));
    // A property-list reader, and a conforming XML parser as launchd's is.
    for (const auto& job : {test::readLaunchdJob(text), test::readLaunchdJobAsXml(text)}) {
        EXPECT_EQ(job.arguments,
                  (std::vector<std::string>{helperExecutablePath(c.bundle), helperScriptPath(c.bundle), "run"}));
        EXPECT_EQ(job.environment,
                  (std::map<std::string, std::string>{{"PELKO_API_URL", c.api}, {"PELKO_PAIR_CODE", c.code}}));
        EXPECT_EQ(job.standardOut, agentLogDirectory(c.home) + "/pelko-agent.log");
        EXPECT_EQ(job.standardError, agentLogDirectory(c.home) + "/pelko-agent.err.log");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Values, PropertyListValues,
    ::testing::Values(
        RoundTrip{"markup", "/Users/sam", "/Applications/Pelko.app", "a&b<c>d\"e'f", "https://x.test/api?a=1&b=<2>"},
        RoundTrip{"alreadyAnEntity", "/Users/sam", "/Applications/Pelko.app", "&amp;&lt;", "&gt;"},
        RoundTrip{"nonAscii", "/Users/s\u00f8ren", "/Volumes/Pelko & Co/Pelko.app", "\u00e9t\u00e9 \U0001F600",
                  "https://p\u00e9lko.test/\u2028api"},
        RoundTrip{"emptyCode", "/Users/sam", "/Applications/Pelko.app", "", "https://pelko.ai/api"},
        RoundTrip{"lineEnds", "/Users/s\ram", "/Volumes/Pelko\r\n/Pelko.app", "12\r34\r\n\r", "https://x.test/\n\rapi\t"}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(AgentPropertyList, EscapesMarkupAndCarriageReturns) {
    EXPECT_EQ(xmlEscape("&amp;<a>\"'\r\n\t"), "&amp;amp;&lt;a&gt;\"'&#13;\n\t");
}

TEST(AgentPropertyList, TakesOnlyTextXmlCanHold) {
    for (const std::string text : {"", "tab\tand\nlines\r", "\u00e9\u4e2d\U0001F600", "\uFFFD"}) {
        EXPECT_TRUE(xmlCanHold(text)) << text;
    }
    for (const std::string& text : {std::string("a\x01", 2), std::string("\0", 1), std::string("\x7f\xff"),
                                   std::string("\xed\xa0\x80"), std::string("\xc0\xaf"), std::string("\xef\xbf\xbe"),
                                   std::string("\xe2\x82"), std::string("\xf4\x90\x80\x80")}) {
        EXPECT_FALSE(xmlCanHold(text)) << testing::PrintToString(text);
    }
}

}  // namespace
}  // namespace pelko
