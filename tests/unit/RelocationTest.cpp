#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "install/Relocation.h"

namespace pelko {
namespace {

TEST(Relocation, IsOfferedFromAVolumeOrADownloadsFolderOnly) {
    for (const char* path : {"/Users/sam/Downloads/Pelko.app", "/Users/sam/Downloads/a/b/Pelko.app",
                             "/Volumes/Pelko/Pelko.app", "/Volumes/Disk/Users/sam/Downloads/Pelko.app"}) {
        EXPECT_TRUE(offersRelocation(path)) << path;
    }
    for (const char* path : {"/Applications/Pelko.app", "/Applications/Tools/Pelko.app",
                             "/Applications/Downloads/Pelko.app", "/Users/sam/Applications/Pelko.app",
                             "/Users/sam/downloads/Pelko.app", "/Users/sam/Downloads", "/volumes/Pelko/Pelko.app"}) {
        EXPECT_FALSE(offersRelocation(path)) << path;
    }
}

TEST(Relocation, TheRelaunchOpensTheInstalledCopyAndDetachesTheVolume) {
    EXPECT_EQ(relaunchCommand("/Users/sam/Downloads/Renamed.app"), R"(sleep 1; open "/Applications/Pelko.app")");
    EXPECT_EQ(relaunchCommand("/Volumes/Install Disk/Pelko.app"),
              R"(sleep 1; open "/Applications/Pelko.app"; hdiutil detach "/Volumes/Install Disk" -force)");
    EXPECT_EQ(relaunchCommand("/Volumes/"), R"(sleep 1; open "/Applications/Pelko.app")");
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

TEST(Relocation, AHostileVolumeNameReachesHdiutilAsOneLiteralPath) {
    const std::string root = ::testing::TempDir() + "/relaunch-" + std::to_string(getpid());
    int run = 0;
    for (const std::string name : {"Pelko's", "x\"; touch pwned; \"", "$(touch pwned)", "`touch pwned`",
                                   "back\\slash\\", "new\nline", "$HOME"}) {
        const std::string folder = root + "/" + std::to_string(run++);
        std::filesystem::create_directories(folder);
        const auto calls = runRelaunch(relaunchCommand("/Volumes/" + name + "/Pelko.app"), folder);
        const std::vector<std::vector<std::string>> expected{
            {"sleep", "1"}, {"open", kInstallTarget}, {"hdiutil", "detach", "/Volumes/" + name, "-force"}};
        EXPECT_EQ(calls, expected) << name;
        EXPECT_FALSE(std::filesystem::exists(folder + "/pwned")) << name;
    }
    std::filesystem::remove_all(root);
}

}  // namespace
}  // namespace pelko
