#include <gtest/gtest.h>

#include <optional>
#include <set>
#include <string>
#include <vector>

#include "agent/AgentFiles.h"
#include "agent/AgentInstaller.h"
#include "fakes/FakePlatform.h"

namespace pelko::test {
namespace {

const std::string kHome = "/home/user";
const std::string kBundle = "/Applications/Pelko.app";
const std::string kPlist = kHome + "/Library/LaunchAgents/ai.pelko.imessage-agent.plist";
const std::string kSelfManaged = kHome + "/Library/LaunchAgents/com.pelko.agent.plist";
const std::string kSelfManagedConfig = kHome + "/.config/pelko-agent/config.json";
const std::set<std::string> kHelper = {kBundle + "/Contents/Resources/imessage-agent/PelkoHelper",
                                       kBundle + "/Contents/Resources/imessage-agent/dist/index.js"};
const std::vector<std::string> kInstalls = {"mkdir " + kHome + "/Library/LaunchAgents",
                                            "mkdir " + kHome + "/Library/Logs/pelko-agent", "write " + kPlist};

// launchctl's argument lists, by subcommand.
std::vector<std::string> launchctl(const std::string& subcommand) {
    if (subcommand == "load") return {"/bin/launchctl", "load", kPlist};
    return {"/bin/launchctl", subcommand, "gui/501", kPlist};
}

struct AgentCase {
    const char* name;
    bool setup = true;  // else removal
    std::set<std::string> existing = kHelper;
    std::string pairingCode = "ABC-234";
    std::vector<std::optional<int>> statuses = {};  // launchctl's answers in order, then 0
    std::vector<std::string> files = {};            // what happens on disk
    std::vector<std::string> runs = {};             // launchctl subcommands, in order
    std::string alertTitle = "";
    std::string alertMessage = "";
    bool launchctlMissing = false;
    std::string failingPath = "";
    std::string home = kHome;
    std::string bundle = kBundle;
};

void PrintTo(const AgentCase& c, std::ostream* out) { *out << c.name; }

class AgentRequests : public ::testing::TestWithParam<AgentCase> {};

TEST_P(AgentRequests, DoWhatTheFilesAndLaunchdCallFor) {
    const auto& c = GetParam();
    FakePlatform platform;
    platform.files.existing = c.existing;
    if (!c.failingPath.empty()) platform.files.failing[c.failingPath] = "You don't have permission.";
    platform.processes.statuses.assign(c.statuses.begin(), c.statuses.end());
    if (c.launchctlMissing) platform.processes.executables.clear();
    platform.files.home = c.home;
    platform.bundle.path = c.bundle;
    AgentInstaller installer(platform.agentPorts());

    if (c.setup)
        installer.setupIMessageAgent(c.pairingCode, "https://pelko.test/api");
    else
        installer.disconnectIMessageAgent();
    // Retries of the bootstrap included; the alert shows after the request.
    EXPECT_TRUE(platform.alerts.shown.empty());
    platform.mainQueue.advance(Duration{1000});

    EXPECT_EQ(platform.files.log, c.files);
    std::vector<std::vector<std::string>> runs;
    for (const auto& subcommand : c.runs) runs.push_back(launchctl(subcommand));
    EXPECT_EQ(platform.processes.runs, runs);
    // launchctl blocks the main thread: never without an end.
    for (const auto timeout : platform.processes.timeouts) {
        EXPECT_GT(timeout.count(), 0);
        EXPECT_LE(timeout, std::chrono::seconds(30));
    }
    ASSERT_EQ(platform.alerts.shown.size(), c.alertTitle.empty() ? 0u : 1u);
    if (!c.alertTitle.empty()) {
        EXPECT_EQ(platform.alerts.shown[0].title, c.alertTitle);
        if (!c.alertMessage.empty()) {
            EXPECT_EQ(platform.alerts.shown[0].message, c.alertMessage);
        }
        EXPECT_TRUE(platform.alerts.shown[0].buttons.empty());
    }
    EXPECT_EQ(platform.mainQueue.pending(), 0u);
}

std::set<std::string> helperIn(const std::string& bundle) {
    return {helperExecutablePath(bundle), helperScriptPath(bundle)};
}

std::set<std::string> withHelper(std::set<std::string> paths) {
    paths.insert(kHelper.begin(), kHelper.end());
    return paths;
}

INSTANTIATE_TEST_SUITE_P(
    Table, AgentRequests,
    ::testing::Values(
        // Nothing loaded yet: the bootout fails harmlessly and the first bootstrap loads.
        AgentCase{.name = "installs", .statuses = {3}, .files = kInstalls, .runs = {"bootout", "bootstrap"}},
        AgentCase{.name = "emptyCodeInstallsSilently", .pairingCode = "", .statuses = {3}, .files = kInstalls,
                  .runs = {"bootout", "bootstrap"}},
        AgentCase{.name = "bootstrapFailsThenLegacyLoad", .statuses = {3, 5}, .files = kInstalls,
                  .runs = {"bootout", "bootstrap", "load"}},
        AgentCase{.name = "launchctlDoesNotStart", .statuses = {std::nullopt, std::nullopt, std::nullopt},
                  .files = kInstalls, .runs = {"bootout", "bootstrap", "load"}},
        // A running job goes away after its bootout returns: the bootstrap waits for it, briefly.
        AgentCase{.name = "replacesARunningJob", .statuses = {0, 5, 5, 0}, .files = kInstalls,
                  .runs = {"bootout", "bootstrap", "bootstrap", "bootstrap"}},
        AgentCase{.name = "runningJobThatNeverGoes", .statuses = {0, 5, 5, 5, 5, 5}, .files = kInstalls,
                  .runs = {"bootout", "bootstrap", "bootstrap", "bootstrap", "bootstrap", "bootstrap", "load"}},
        AgentCase{.name = "selfManagedAndPaired", .existing = withHelper({kSelfManaged, kSelfManagedConfig}),
                  .alertTitle = "Pelko's background agent is already installed",
                  .alertMessage = "This Mac already runs the self-updating Pelko agent, so there's nothing to set up "
                                  "\u2014 it connects on its own. If the Integrations page still shows this Mac "
                                  "offline, the agent may be paired to a different Pelko account; run its update "
                                  "command from the iMessage card, or remove "
                                  "~/Library/LaunchAgents/com.pelko.agent.plist and try again."},
        AgentCase{.name = "selfManagedNotPaired", .existing = withHelper({kSelfManaged}),
                  .alertTitle = "A self-managed Pelko agent is installed but not paired",
                  .alertMessage = "This Mac already has the self-updating Pelko agent, but it hasn't been paired. "
                                  "Use the one-line command shown on the iMessage card in your browser (it pairs the "
                                  "existing agent) instead of the bundled setup."},
        AgentCase{.name = "selfManagedConfigurationAloneIsIgnored",
                  .existing = withHelper({kSelfManagedConfig}), .statuses = {3}, .files = kInstalls,
                  .runs = {"bootout", "bootstrap"}},
        AgentCase{.name = "helperMissing", .existing = {*kHelper.rbegin()},
                  .alertTitle = "Couldn't find the bundled iMessage helper",
                  .alertMessage = "Please update Pelko to the latest version, then try again."},
        AgentCase{.name = "helperScriptMissing", .existing = {*kHelper.begin()},
                  .alertTitle = "Couldn't find the bundled iMessage helper"},
        AgentCase{.name = "writeFails", .files = kInstalls, .alertTitle = "Couldn't write the helper configuration",
                  .alertMessage = "You don't have permission.", .failingPath = kPlist},
        // A folder that cannot be made is no stop of its own.
        AgentCase{.name = "logFolderFails", .statuses = {3}, .files = kInstalls, .runs = {"bootout", "bootstrap"},
                  .failingPath = kHome + "/Library/Logs/pelko-agent"},
        // launchd would refuse the whole file: nothing is written.
        AgentCase{.name = "codeXmlCannotHold", .pairingCode = "AB\x01", .alertTitle = "Couldn't write the helper configuration"},
        AgentCase{.name = "codeNotUtf8", .pairingCode = "AB\xff", .alertTitle = "Couldn't write the helper configuration"},
        // The paths go into the file too, and a carriage return is written so that it stays one.
        AgentCase{.name = "codeWithCarriageReturn", .pairingCode = "AB\r\n", .statuses = {3}, .files = kInstalls,
                  .runs = {"bootout", "bootstrap"}},
        AgentCase{.name = "bundlePathXmlCannotHold", .existing = helperIn("/Volumes/Pelko\x1b/Pelko.app"),
                  .alertTitle = "Couldn't write the helper configuration",
                  .alertMessage = "The location Pelko runs from holds characters that the helper's configuration "
                                  "file can't store. Move Pelko to your Applications folder and try again.",
                  .bundle = "/Volumes/Pelko\x1b/Pelko.app"},
        AgentCase{.name = "homeXmlCannotHold", .alertTitle = "Couldn't write the helper configuration",
                  .alertMessage = "The path of your home folder holds characters that the helper's configuration "
                                  "file can't store.",
                  .home = "/home/\xc0\xafuser"},
        AgentCase{.name = "noLaunchdNoSetup", .existing = withHelper({kSelfManaged}), .launchctlMissing = true},
        AgentCase{.name = "removes", .setup = false, .existing = {kPlist}, .files = {"remove " + kPlist},
                  .runs = {"bootout"}},
        AgentCase{.name = "removesNothingSilently", .setup = false, .existing = {}, .statuses = {3},
                  .runs = {"bootout"}},
        AgentCase{.name = "noLaunchdNoRemoval", .setup = false, .existing = {kPlist}, .launchctlMissing = true}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(AgentInstaller, WritesTheJobForThisBundleAndTheCodeAsSent) {
    FakePlatform platform;
    platform.files.existing = kHelper;
    AgentInstaller installer(platform.agentPorts());
    installer.setupIMessageAgent("a&b<c>", "https://pelko.test/api");
    const std::string helper = kBundle + "/Contents/Resources/imessage-agent";
    EXPECT_EQ(platform.files.contents[kPlist],
              agentPropertyList(helper + "/PelkoHelper", helper + "/dist/index.js", "a&b<c>",
                                "https://pelko.test/api", kHome + "/Library/Logs/pelko-agent"));
}

TEST(AgentInstaller, ALaterRequestCancelsAPendingBootstrap) {
    for (const bool setupAgain : {true, false}) {
        FakePlatform platform;
        platform.files.existing = kHelper;
        platform.processes.statuses = {0, 5, 3};
        AgentInstaller installer(platform.agentPorts());
        installer.setupIMessageAgent("ABC-234", "https://pelko.test/api");
        if (setupAgain)
            installer.setupIMessageAgent("DEF-567", "https://pelko.test/api");
        else
            installer.disconnectIMessageAgent();
        platform.mainQueue.advance(Duration{1000});
        auto expected = std::vector{launchctl("bootout"), launchctl("bootstrap"), launchctl("bootout")};
        if (setupAgain) expected.push_back(launchctl("bootstrap"));
        EXPECT_EQ(platform.processes.runs, expected) << setupAgain;
    }
}

TEST(AgentInstaller, LaunchctlSucceedsOnlyWhenItRanAndExitedWithZero) {
    FakePlatform platform;
    platform.processes.statuses = {0, 1, std::nullopt};
    AgentInstaller installer(platform.agentPorts());
    EXPECT_TRUE(installer.runLaunchctl({"list"}));
    EXPECT_FALSE(installer.runLaunchctl({"list"}));
    EXPECT_FALSE(installer.runLaunchctl({"list"}));
}

}  // namespace
}  // namespace pelko::test
