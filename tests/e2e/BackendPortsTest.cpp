// The Linux adapters' own logic that no other test reaches: URL parsing, the
// settings file, the relay's envelope, key equivalents, which files may run
// code, and the main queue's order.
#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <filesystem>
#include <fstream>
#include <thread>

#include "Harness.h"
#include "gtk/BridgeRelay.h"
#include "gtk/DesktopWorkspace.h"
#include "gtk/GObjectRef.h"
#include "gtk/GUriUrls.h"
#include "gtk/GlibMainQueue.h"
#include "gtk/KeyFileUserDefaults.h"
#include "gtk/MenuBarRenderer.h"

namespace pelko::e2e {
namespace {

std::string readAll(const std::string& path) {
    std::ifstream in(path);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(BackendPorts, UrlsParseLikeThePlatformsUrlType) {
    const std::pair<const char*, const char*> cases[] = {
        {"http://127.0.0.1:8421/desktop-latest.json", "http 127.0.0.1 8421 /desktop-latest.json"},
        {"https://Docs.GitHub.com/a%20b/Setup.DMG?x=1#f", "https Docs.GitHub.com 0 /a b/Setup.DMG"},
        {"http://[::1]:9/x", "http ::1 9 /x"},
        {"https://pelko.ai/a b", "invalid"},
        {"https://pelko.ai/%4", "invalid"},
    };
    for (const auto& [text, expected] : cases) {
        const auto url = gtk::GUriUrls().urlFromString(text);
        EXPECT_EQ(url ? url->scheme + " " + url->host + " " + std::to_string(url->port.value_or(0)) + " " + url->path
                      : "invalid",
                  expected);
    }
}

TEST(BackendPorts, SettingsReadBackAsWhatTheyAreAndAnUnreadableFileIsKeptAside) {
    const std::string path = temporaryHome() + "/settings.ini";
    std::ofstream(path) << "[Defaults]\nflag=true\nnumber=0\nword=yes\nquoted=\"true\"\nbroken=[1, 2\n"
                        << "[W]\nplain=1280\nunit=12px\nhuge=99999999999\n";
    {
        gtk::SettingsFile file(path);
        gtk::KeyFileUserDefaults defaults(file);
        const std::pair<const char*, nlohmann::json> values[] = {
            {"flag", true}, {"number", 0}, {"word", "yes"}, {"quoted", "true"}, {"broken", "[1, 2"}};
        for (const auto& [key, value] : values) EXPECT_EQ(defaults.objectForKey(key), value) << key;
        EXPECT_EQ(file.integer("W", "plain"), 1280);
        EXPECT_FALSE(file.integer("W", "unit") || file.integer("W", "huge"));
        defaults.setBool("voiceSpeakReplies", false);
    }
    gtk::SettingsFile reread(path);  // as at the next launch
    EXPECT_EQ(gtk::KeyFileUserDefaults(reread).objectForKey("voiceSpeakReplies"), nlohmann::json(false));

    std::ofstream(path) << "this is [not a key file\n";
    gtk::SettingsFile garbled(path);
    gtk::KeyFileUserDefaults defaults(garbled);
    EXPECT_FALSE(defaults.objectForKey("voiceSpeakReplies"));
    defaults.setBool("voiceSpeakReplies", true);
    EXPECT_EQ(readAll(path + ".unreadable"), "this is [not a key file\n");
    EXPECT_NE(readAll(path).find("voiceSpeakReplies=true"), std::string::npos);
}

TEST(BackendPorts, TheRelayReadsOnlyWellFormedEnvelopes) {
    const auto envelope = [](nlohmann::json origin, nlohmann::json mainFrame, nlohmann::json body) {
        return nlohmann::json{{"origin", origin}, {"mainFrame", mainFrame}, {"body", body}};
    };
    const auto good = gtk::readRelayedMessage("pelko", envelope("http://127.0.0.1:8421", false, R"({"type":"voice"})"));
    ASSERT_TRUE(good);
    EXPECT_EQ(good->body, nlohmann::json({{"type", "voice"}}));
    EXPECT_EQ(good->frameOrigin, (SecurityOrigin{"http", "127.0.0.1", 8421}));
    EXPECT_FALSE(good->isMainFrame);
    // An opaque origin matches nothing.
    EXPECT_EQ(gtk::readRelayedMessage("pelko", envelope("null", true, "{}"))->frameOrigin, SecurityOrigin{});
    // What the page posted is not JSON text, not JSON, or nests too deeply.
    for (const nlohmann::json& body : {nlohmann::json::object(), nlohmann::json("{not json"),
                                       nlohmann::json(std::string(300, '[') + std::string(300, ']'))})
        EXPECT_FALSE(gtk::readRelayedMessage("pelko", envelope("https://pelko.ai", true, body))) << body;
}

TEST(BackendPorts, KeyEquivalentsTurnCommandIntoCtrlAndCapitalsIntoShift) {
    const std::tuple<const char*, std::uint64_t, const char*> cases[] = {
        {"Z", kDefaultKeyEquivalentModifierMask, "<Shift><Control>z"},
        {" ", kModifierCommand | kModifierShift, "<Shift><Control>space"},
        {"[", kDefaultKeyEquivalentModifierMask, "<Control>bracketleft"},
    };
    for (const auto& [key, mask, expected] : cases) {
        const gtk::Accelerator accelerator = gtk::acceleratorFor(key, mask);
        gtk::OwnedGString name(
            gtk_accelerator_name(accelerator.keyval, static_cast<GdkModifierType>(accelerator.modifiers)));
        EXPECT_STREQ(name.get(), expected);
    }
}

TEST(BackendPorts, FilesThatMayRunCodeAreKnownByContentAndPermissionNotByName) {
    const std::string folder = temporaryHome() + "/";
    const auto make = [&](const std::string& name, const std::string& content) {
        std::ofstream(folder + name) << content;
        return folder + name;
    };
    namespace fs = std::filesystem;
    fs::copy_file("/bin/true", folder + "tool", fs::copy_options::overwrite_existing);
    // A program's bytes without its execute permission.
    fs::permissions(folder + "tool", fs::perms::owner_read | fs::perms::owner_write);
    fs::permissions(make("marked.txt", "words\n"), fs::perms::owner_exec, fs::perm_options::add);
    const std::pair<std::string, bool> cases[] = {
        {make("looks-like-text.txt", "#!/bin/sh\nrm -rf ~\n"), false},  // opens in a text viewer
        {make("no-extension", "#!/bin/sh\nrm -rf ~\n"), true},
        {make("launcher.desktop", "[Desktop Entry]\nType=Application\nExec=sh -c true\n"), true},
        {folder + "tool", true},
        {folder + "marked.txt", true},
        {folder + "Downloads", false},
        {folder + "missing.txt", true},
    };
    for (const auto& [path, runs] : cases) EXPECT_EQ(gtk::fileMayRunCode(path), runs) << path;
}

TEST(BackendPorts, TheMainQueueRunsBlocksInTheOrderTheyFallDueAndTimersUntilInvalidated) {
    gtk::GlibMainQueue queue;
    std::vector<int> order;
    queue.asyncAfter(30ms, [&] { order.push_back(3); });
    queue.asyncAfter(10ms, [&] { order.push_back(2); });
    std::thread([&] { queue.async([&] { order.push_back(1); }); }).join();
    bool invalidatedFired = false;
    bool droppedFired = false;
    queue.scheduledTimer(20ms, [&] { invalidatedFired = true; })->invalidate();
    queue.scheduledTimer(20ms, [&] { droppedFired = true; }).reset();  // dropping the handle does not stop it
    // All of them overdue together.
    g_usleep(50000);
    ASSERT_TRUE(runUntil([&] { return order.size() == 3 && droppedFired; }, 5s));
    EXPECT_LT(std::find(order.begin(), order.end(), 2), std::find(order.begin(), order.end(), 3));
    EXPECT_FALSE(invalidatedFired);
}

}  // namespace
}  // namespace pelko::e2e
