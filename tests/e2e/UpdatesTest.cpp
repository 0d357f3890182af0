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
                         [](const auto& request) { return request.path == "/desktop-latest.json"; });
}

class Updates : public ::testing::Test {
protected:
    void SetUp() override { World::get().demo->setManifestAvailable(true); }
};

TEST_F(Updates, ANewerVersionIsOfferedAndDownloadSavesItsPackageInDownloads) {
    demo::DemoService& demo = *World::get().demo;
    demo.setManifestVersion(build::kVersion);
    const long before = feedRequests();
    TestApp app;
    ASSERT_TRUE(app.launch());
    ASSERT_TRUE(runUntil([&] { return feedRequests() == before + 1; }));  // the launch check found nothing newer
    demo.setManifestVersion("99.0.0");
    app.alerts().answers = {kAlertFirstButtonReturn};  // Download
    app.choose(kMenuItem);
    const std::string package = temporaryHome() + "/Downloads/Pelko-99.0.0.dmg";
    ASSERT_TRUE(runUntil([&] { return !app.workspace().revealed.empty(); }));
    EXPECT_EQ(app.workspace().revealed.back(), std::vector<std::string>{package});
    EXPECT_TRUE(std::filesystem::is_regular_file(package));
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
