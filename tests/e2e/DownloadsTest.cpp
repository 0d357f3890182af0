// Downloads from the demo's chat page, by clicks on its links: each lands in
// the Downloads folder under a free, safe name, is shown in the file manager
// and opened, unless it could run code.
#include <gtest/gtest.h>
#include <sys/xattr.h>

#include <filesystem>
#include <fstream>
#include <set>

#include "Harness.h"

namespace pelko::e2e {
namespace {

// An extended attribute of the file, or "(none)".
std::string attributeOf(const std::string& path, const char* name) {
    char value[2048];
    const ssize_t size = getxattr(path.c_str(), name, value, sizeof value);
    return size < 0 ? "(none)" : std::string(value, static_cast<std::size_t>(size));
}

TEST(Downloads, LandInDownloadsUnderFreeSafeNamesAndAreShownThenOpenedUnlessTheyRunCode) {
    namespace fs = std::filesystem;
    const std::string folder = temporaryHome() + "/Downloads";
    TestApp app;
    ASSERT_TRUE(app.launch());
    test::FakeWorkspace& workspace = app.workspace();

    // One after the other, each once it is shown: the second of the notes finds the first there.
    const std::pair<const char*, const char*> downloads[] = {{"link-download", "pelko-notes.txt"},
                                                             {"link-download", "pelko-notes (1).txt"},
                                                             {"link-attachment", "bashrc"},
                                                             {"link-script", "tool.sh"}};
    for (const auto& [link, name] : downloads) {
        const std::size_t shown = workspace.revealed.size();
        app.eval(std::string("document.getElementById('") + link + "').click(); 0");
        ASSERT_TRUE(runUntil([&] { return workspace.revealed.size() > shown; }))
            << link << ", the page at " << app.url();
        EXPECT_EQ(workspace.revealed.back(), std::vector<std::string>{folder + "/" + name});
    }
    EXPECT_EQ(workspace.openedFiles, (std::vector<std::string>{folder + "/pelko-notes.txt",
                                                               folder + "/pelko-notes (1).txt", folder + "/bashrc"}));

    // Whole, where they were said to be, and nothing else: the climbing name stayed in the folder.
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.insert(entry.path().filename().string());
    EXPECT_EQ(names, (std::set<std::string>{"pelko-notes.txt", "pelko-notes (1).txt", "bashrc", "tool.sh"}));
    EXPECT_EQ(fileContents(folder + "/pelko-notes (1).txt"), fileContents(folder + "/pelko-notes.txt"));
    EXPECT_NE(fileContents(folder + "/pelko-notes.txt").find("Pelko demo notes"), std::string::npos);
    EXPECT_EQ(fileContents(folder + "/bashrc"), "echo 'a file that names itself ../../.bashrc'\n");
    EXPECT_EQ(app.url(), World::get().origin() + "/");

    // Each records where it came from, as desktop browsers do.
    const std::string origin = World::get().origin();
    EXPECT_EQ(attributeOf(folder + "/pelko-notes.txt", "user.xdg.origin.url"), origin + "/files/pelko-notes.txt");
    EXPECT_EQ(attributeOf(folder + "/bashrc", "user.xdg.origin.url"), origin + "/files/attachment");
    EXPECT_EQ(attributeOf(folder + "/tool.sh", "user.xdg.origin.url"), origin + "/files/tool.sh");
    EXPECT_EQ(attributeOf(folder + "/tool.sh", "user.xdg.referrer.url"), origin + "/");
}

}  // namespace
}  // namespace pelko::e2e
