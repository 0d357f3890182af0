// The update check as a user meets it: "Check for Updates…" from the menu,
// against the demo's manifest, which each test sets.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "DemoService.h"
#include "Harness.h"
#include "app/BuildConfig.h"

namespace pelko::e2e {
namespace {

constexpr const char* kMenuItem = "Check for Updates\u2026";

long feedRequests() {
    const auto requests = World::get().demo->requests();
    return std::count_if(requests.begin(), requests.end(),
                         [](const auto& request) { return request.path == build::kUpdateManifest; });
}

class Updates : public ::testing::Test {
protected:
    void SetUp() override { World::get().demo->setManifestAvailable(true); }
};

TEST_F(Updates, ANewerVersionIsOfferedAndDownloadSavesTheLinuxPackageInDownloadsAndOpensIt) {
    demo::DemoService& demo = *World::get().demo;
    demo.setManifestVersion(build::kVersion);
    const long before = feedRequests();
    TestApp app;
    ASSERT_TRUE(app.launch());
    ASSERT_TRUE(runUntil([&] { return feedRequests() == before + 1; }));  // the launch check found nothing newer
    demo.setManifestVersion("99.0.0");
    app.alerts().answers = {kAlertFirstButtonReturn};  // Download
    app.choose(kMenuItem);
    ASSERT_TRUE(runUntil([&] { return !app.workspace().revealed.empty(); }));
    ASSERT_EQ(app.workspace().revealed.back().size(), 1u);
    // The Linux package's own manifest names a Debian package for its architecture.
    const std::filesystem::path package = app.workspace().revealed.back()[0];
    EXPECT_EQ(package.parent_path(), temporaryHome() + "/Downloads");
    EXPECT_TRUE(package.filename().string().starts_with("pelko_99.0.0_")) << package;
    EXPECT_EQ(package.extension(), ".deb");
    EXPECT_TRUE(std::filesystem::is_regular_file(package));
    // Opened like any other file: the system's installer asks before it installs anything.
    EXPECT_EQ(app.workspace().openedFiles, std::vector<std::string>{package.string()});
    ASSERT_EQ(app.alerts().shown.size(), 1u);
    EXPECT_EQ(app.alerts().shown[0].title, "Update Available");
    EXPECT_EQ(app.alerts().shown[0].buttons, (std::vector<std::string>{"Download", "Later"}));
}

TEST_F(Updates, TheLaunchCheckIsSilentWithoutAManifestAndTheMenuSaysUpToDateOrThatItCouldNotCheck) {
    demo::DemoService& demo = *World::get().demo;
    demo.setManifestAvailable(false);
    const long before = feedRequests();
    TestApp app;
    ASSERT_TRUE(app.launch());
    const auto& shown = app.alerts().shown;
    // The launch check has been answered before the manual check asks, so an
    // alert of its own would come before the manual check's.
    ASSERT_TRUE(runUntil([&] { return feedRequests() == before + 1; }));
    demo.setManifestVersion(build::kVersion);
    demo.setManifestAvailable(true);
    app.choose(kMenuItem);
    ASSERT_TRUE(runUntil([&] { return !shown.empty() && shown.back().title == "You're up to date"; }));
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].message, std::string("Pelko ") + build::kVersion + " is the latest version.");

    demo.setManifestAvailable(false);
    app.choose(kMenuItem);
    ASSERT_TRUE(runUntil([&] { return shown.size() == 2; }));
    EXPECT_EQ(shown[1].title, "Couldn't Check for Updates");
}

}  // namespace
}  // namespace pelko::e2e
