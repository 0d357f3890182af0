#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "fakes/FakePlatform.h"
#include "install/Relocation.h"
#include "install/Relocator.h"

namespace pelko::test {
namespace {

const std::string kStaging = Relocator::kStagingPath;
const std::string kTarget = kInstallTarget;
const std::string kOpen = "sleep 1; open \"/Applications/Pelko.app\"";

struct RelocationCase {
    const char* name;
    std::string bundlePath;
    bool asked = true;
    int answer = kAlertFirstButtonReturn;
    std::set<std::string> existing = {};
    std::string failingPath = "";
    std::vector<std::string> files = {};
    std::string relaunch = "";  // the shell's command when the copy is relaunched
    bool isBundle = true;
    std::set<std::string> diskImages = {};  // the volumes mounted from disk images
};

void PrintTo(const RelocationCase& c, std::ostream* out) { *out << c.name; }

class RelocationAtLaunch : public ::testing::TestWithParam<RelocationCase> {};

TEST_P(RelocationAtLaunch, AsksMovesAndRelaunchesOnlyWhereItShould) {
    const auto& c = GetParam();
    FakePlatform platform;
    platform.bundle.path = c.bundlePath;
    platform.bundle.isBundle = c.isBundle;
    platform.alerts.answers = {c.answer};
    platform.files.existing = c.existing;
    if (!c.failingPath.empty()) platform.files.failing[c.failingPath] = "You don't have permission.";
    platform.diskImages.mounted = c.diskImages;
    Relocator relocator(platform.relocatorPorts());

    const bool relaunching = relocator.relocateToApplicationsIfNeeded();

    const auto& shown = platform.alerts.shown;
    ASSERT_EQ(shown.size(), !c.asked ? 0u : c.failingPath.empty() ? 1u : 2u);
    if (c.asked) {
        EXPECT_EQ(shown[0].title, "Move Pelko to Applications?");
        EXPECT_EQ(shown[0].message, "Pelko works best from your Applications folder. Move it there now and launch "
                                    "it from there? (Recommended)");
        EXPECT_EQ(shown[0].buttons, (std::vector<std::string>{"Move to Applications", "Not Now"}));
        EXPECT_EQ(shown[0].cancelReturn(), 1001);
    }
    if (shown.size() == 2) {
        EXPECT_EQ(shown[1].title, "Couldn't move Pelko automatically");
        EXPECT_EQ(shown[1].message,
                  "Please drag Pelko into your Applications folder manually.\n\n(You don't have permission.)");
        EXPECT_TRUE(shown[1].buttons.empty());
    }
    EXPECT_EQ(platform.files.log, c.files);
    EXPECT_EQ(relaunching, !c.relaunch.empty());
    EXPECT_EQ(platform.application.terminations, relaunching ? 1 : 0);
    std::vector<std::vector<std::string>> launched;
    if (!c.relaunch.empty()) launched.push_back({"/bin/sh", "-c", c.relaunch});
    EXPECT_EQ(platform.processes.launched, launched);
    // The platform is asked about the volume only for a relaunch, never at an ordinary launch.
    if (!relaunching) {
        EXPECT_TRUE(platform.diskImages.asked.empty());
    }
    // A failed move never costs the user an application they had.
    if (c.existing.contains(kTarget)) {
        EXPECT_TRUE(platform.files.existing.contains(kTarget));
    }
    EXPECT_FALSE(platform.files.existing.contains(kStaging));
}

INSTANTIATE_TEST_SUITE_P(
    Table, RelocationAtLaunch,
    ::testing::Values(
        RelocationCase{.name = "inAnApplicationsSubfolder", .bundlePath = "/Applications/Tools/Pelko.app", .asked = false},
        RelocationCase{.name = "inTheHomeApplications", .bundlePath = "/Users/sam/Applications/Pelko.app", .asked = false},
        RelocationCase{.name = "fromDownloadsAtAnyDepth", .bundlePath = "/Users/sam/Downloads/a/b/Pelko.app",
                       .files = {"copy /Users/sam/Downloads/a/b/Pelko.app " + kStaging, "move " + kStaging + " " + kTarget},
                       .relaunch = kOpen},
        RelocationCase{.name = "fromADiskImage", .bundlePath = "/Volumes/Pelko 1.4/Pelko.app",
                       .files = {"copy /Volumes/Pelko 1.4/Pelko.app " + kStaging, "move " + kStaging + " " + kTarget},
                       .relaunch = kOpen + "; hdiutil detach \"/Volumes/Pelko 1.4\" -force",
                       .diskImages = {"/Volumes/Pelko 1.4"}},
        // A drive or a network volume may have other programs' files open: it stays mounted.
        RelocationCase{.name = "fromADriveThatIsNoDiskImage", .bundlePath = "/Volumes/USB Stick/Pelko.app",
                       .files = {"copy /Volumes/USB Stick/Pelko.app " + kStaging, "move " + kStaging + " " + kTarget},
                       .relaunch = kOpen, .diskImages = {"/Volumes/Pelko 1.4"}},
        RelocationCase{.name = "fromDownloadsOnADiskImage", .bundlePath = "/Volumes/Disk/Users/sam/Downloads/Pelko.app",
                       .files = {"copy /Volumes/Disk/Users/sam/Downloads/Pelko.app " + kStaging,
                                 "move " + kStaging + " " + kTarget},
                       .relaunch = kOpen + "; hdiutil detach \"/Volumes/Disk\" -force", .diskImages = {"/Volumes/Disk"}},
        RelocationCase{.name = "fromDownloadsOnASecondDisk", .bundlePath = "/Volumes/Data/Users/sam/Downloads/Pelko.app",
                       .files = {"copy /Volumes/Data/Users/sam/Downloads/Pelko.app " + kStaging,
                                 "move " + kStaging + " " + kTarget},
                       .relaunch = kOpen},
        RelocationCase{.name = "notNow", .bundlePath = "/Volumes/Pelko/Pelko.app", .answer = kAlertFirstButtonReturn + 1,
                       .existing = {kTarget}},
        RelocationCase{.name = "replacesAnEarlierCopy", .bundlePath = "/Users/sam/Downloads/Pelko.app",
                       .existing = {kTarget},
                       .files = {"copy /Users/sam/Downloads/Pelko.app " + kStaging, "replace " + kStaging + " " + kTarget},
                       .relaunch = kOpen},
        RelocationCase{.name = "aRenamedBundleIsInstalledAsPelko", .bundlePath = "/Users/sam/Downloads/Renamed.app",
                       .files = {"copy /Users/sam/Downloads/Renamed.app " + kStaging, "move " + kStaging + " " + kTarget},
                       .relaunch = kOpen},
        RelocationCase{.name = "aFailedCopyKeepsTheOldCopy", .bundlePath = "/Users/sam/Downloads/Pelko.app",
                       .existing = {kTarget}, .failingPath = kStaging,
                       .files = {"copy /Users/sam/Downloads/Pelko.app " + kStaging}},
        RelocationCase{.name = "aFailedSwapCleansUp", .bundlePath = "/Users/sam/Downloads/Pelko.app",
                       .existing = {kTarget}, .failingPath = kTarget,
                       .files = {"copy /Users/sam/Downloads/Pelko.app " + kStaging,
                                 "replace " + kStaging + " " + kTarget, "remove " + kStaging}},
        RelocationCase{.name = "anInterruptedMoveIsClearedFirst", .bundlePath = "/Users/sam/Downloads/Pelko.app",
                       .existing = {kStaging},
                       .files = {"remove " + kStaging, "copy /Users/sam/Downloads/Pelko.app " + kStaging,
                                 "move " + kStaging + " " + kTarget},
                       .relaunch = kOpen},
        RelocationCase{.name = "notABundle", .bundlePath = "/home/sam/Downloads/pelko", .asked = false,
                       .isBundle = false}),
    [](const auto& p) { return std::string(p.param.name); });

// The text tests themselves; the Relocator table covers the ordinary places.
TEST(Relocation, TestsPathsAsExactText) {
    for (const char* path : {"/Applications/Downloads/Pelko.app", "/Users/sam/downloads/Pelko.app",
                             "/Users/sam/Downloads", "/volumes/Pelko/Pelko.app", "/Applications"}) {
        EXPECT_FALSE(offersRelocation(path)) << path;
    }
    EXPECT_TRUE(offersRelocation("/Volumes/Applications/Pelko.app"));
}

TEST(Relocation, TheRelaunchOpensTheInstalledCopyAndDetachesTheDiskImage) {
    EXPECT_EQ(relaunchCommand(std::nullopt), R"(sleep 1; open "/Applications/Pelko.app")");
    EXPECT_EQ(relaunchCommand("/Volumes/Install Disk"),
              R"(sleep 1; open "/Applications/Pelko.app"; hdiutil detach "/Volumes/Install Disk" -force)");
    EXPECT_EQ(volumeMountPath("/Volumes/Install Disk/Pelko.app"), "/Volumes/Install Disk");
    EXPECT_EQ(volumeMountPath("/Volumes//Disk//a/Pelko.app"), "/Volumes/Disk");
    EXPECT_EQ(volumeMountPath("/Volumes/"), std::nullopt);
    EXPECT_EQ(volumeMountPath("/Users/sam/Downloads/Renamed.app"), std::nullopt);
}

// Runs the command as the relaunch does, with sleep, open and hdiutil replaced
// by recorders; the arguments each got, one string per argument.
std::vector<std::vector<std::string>> runRelaunch(const std::string& command, const std::string& folder) {
    namespace fs = std::filesystem;
    for (const char* tool : {"sleep", "open", "hdiutil"}) {
        const std::string path = folder + "/" + tool;
        std::ofstream(path) << "#!/bin/sh\nprintf '%s' \"" << tool << "\" >> \"$LOG\"\n"
                            << "for a in \"$@\"; do printf '\\037%s' \"$a\" >> \"$LOG\"; done\nprintf '\\036' >> \"$LOG\"\n";
        fs::permissions(path, fs::perms::owner_all);
    }
    const std::string log = folder + "/log";
    const pid_t child = fork();
    if (child == 0) {
        const std::string pathVariable = "PATH=" + folder + ":/usr/bin:/bin";
        const std::string logVariable = "LOG=" + log;
        if (chdir(folder.c_str()) != 0) _exit(126);
        char* const argv[] = {const_cast<char*>("/bin/sh"), const_cast<char*>("-c"), const_cast<char*>(command.c_str()),
                              nullptr};
        char* const envp[] = {const_cast<char*>(pathVariable.c_str()), const_cast<char*>(logVariable.c_str()), nullptr};
        execve("/bin/sh", argv, envp);
        _exit(127);
    }
    int status = 0;
    waitpid(child, &status, 0);
    std::ifstream in(log);
    std::stringstream text;
    text << in.rdbuf();
    std::vector<std::vector<std::string>> calls;
    std::stringstream records(text.str());
    for (std::string record; std::getline(records, record, '\036');) {
        std::vector<std::string> call;
        std::stringstream fields(record);
        for (std::string field; std::getline(fields, field, '\037');) call.push_back(field);
        calls.push_back(call);
    }
    return calls;
}

// A volume name of 1 to 40 bytes, mostly what the shell reads specially.
// Never '/' or NUL, which a volume name cannot hold.
std::string randomVolumeName(std::mt19937& rng) {
    static const std::vector<std::string> kSpecial{"\"", "$", "`", "\\", "'", ";", "&", "|", "(", ")", "<", ">",
                                                   "*", "?", "[", "]", "~", "#", "!", "{", "}", "\n", "\t", " "};
    // Whole attempts, whose only way to act is a file in the working folder.
    static const std::vector<std::string> kAttempts{"$(touch pwned)", "`touch pwned`", "\";touch pwned;\"",
                                                    "${x:=y}", "$'\\n'", "\\\n", "$((1+1))"};
    static const std::string kPlain = "abcXYZ09._-";
    auto pick = [&](std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(rng); };
    const std::size_t length = 1 + pick(40);
    std::string name;
    while (name.size() < length) {
        const std::size_t roll = pick(100);
        std::string piece;
        if (roll < 55) {
            piece = kSpecial[pick(kSpecial.size())];
        } else if (roll < 75) {
            piece = kPlain.substr(pick(kPlain.size()), 1);
        } else if (roll < 92) {
            // Any other byte, so that every byte of UTF-8 text, and of text that is not, turns up;
            // but the recorders' separators.
            const auto byte = static_cast<char>(1 + pick(255));
            if (byte != '/' && byte != '\036' && byte != '\037') piece = std::string(1, byte);
        } else {
            piece = kAttempts[pick(kAttempts.size())];
        }
        if (name.size() + piece.size() <= length) name += piece;
    }
    return name;
}

// How many random names a run tries: enough for CI at a few ms each;
// PELKO_RELAUNCH_NAMES sets more for a long run.
std::size_t randomNameCount() {
    const char* names = std::getenv("PELKO_RELAUNCH_NAMES");
    return names && *names ? std::stoul(names) : 200;
}

TEST(Relocation, AnyVolumeNameReachesHdiutilAsOneLiteralPath) {
    std::vector<std::string> names{"Pelko's", "x\"; touch pwned; \"", "$(touch pwned)", "`touch pwned`",
                                   "back\\slash\\", "new\nline", "$HOME"};
    std::mt19937 rng(1187);
    for (std::size_t i = randomNameCount(); i > 0; --i) names.push_back(randomVolumeName(rng));

    const std::string folder = ::testing::TempDir() + "/relaunch-" + std::to_string(getpid());
    std::filesystem::create_directories(folder);
    const std::set<std::string> onlyTheRecorders{"hdiutil", "log", "open", "sleep"};
    for (std::size_t i = 0; i < names.size(); ++i) {
        const std::string& name = names[i];
        const auto calls = runRelaunch(relaunchCommand(volumeMountPath("/Volumes/" + name + "/Pelko.app")), folder);
        const std::vector<std::vector<std::string>> expected{
            {"sleep", "1"}, {"open", kInstallTarget}, {"hdiutil", "detach", "/Volumes/" + name, "-force"}};
        EXPECT_EQ(calls, expected) << "name " << i << ": " << ::testing::PrintToString(name);
        std::set<std::string> left;
        for (const auto& entry : std::filesystem::directory_iterator(folder))
            left.insert(entry.path().filename().string());
        EXPECT_EQ(left, onlyTheRecorders) << "name " << i << ": " << ::testing::PrintToString(name);
        // The first name that gets through explains it; more would bury it.
        if (HasFailure()) break;
        std::filesystem::remove(folder + "/log");
    }
    std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace pelko::test
