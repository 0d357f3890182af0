// The Linux ports that need no window: URL parsing, the settings file and
// user defaults, the relay's envelope, key equivalents, what may be opened,
// the main queue.
#include <glib.h>
#include <glib/gstdio.h>
#include <gtk/gtk.h>
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <thread>

#include "Harness.h"
#include "gtk/BridgeRelay.h"
#include "gtk/DesktopWorkspace.h"
#include "gtk/GUriUrls.h"
#include "gtk/GlibMainQueue.h"
#include "gtk/KeyFileUserDefaults.h"
#include "gtk/MenuBarRenderer.h"
#include "gtk/SettingsFile.h"
#include "platform/Application.h"

namespace pelko::e2e {
namespace {

using gtk::GUriUrls;

struct UrlCase {
    const char* text;
    bool valid;
    const char* scheme;
    const char* host;
    std::optional<int> port;
    const char* path;
};

TEST(GUriUrls, ParsesLikeThePlatformUrlType) {
    const UrlCase cases[] = {
        {"https://pelko.ai/", true, "https", "pelko.ai", std::nullopt, "/"},
        {"http://127.0.0.1:8421/desktop-latest.json", true, "http", "127.0.0.1", 8421, "/desktop-latest.json"},
        {"https://Docs.GitHub.com/a%20b/Setup.DMG?x=1#f", true, "https", "Docs.GitHub.com", std::nullopt,
         "/a b/Setup.DMG"},
        {"mailto:someone@example.com", true, "mailto", "", std::nullopt, "someone@example.com"},
        {"data:text/plain,hi", true, "data", "", std::nullopt, "text/plain,hi"},
        {"file:///tmp/report.pdf", true, "file", "", std::nullopt, "/tmp/report.pdf"},
        {"http://[::1]:9/x", true, "http", "::1", 9, "/x"},
        {"relative/path", true, "", "", std::nullopt, "relative/path"},
        {"", false, "", "", std::nullopt, ""},
        {"https://pelko.ai/a b", false, "", "", std::nullopt, ""},
        {"https://pelko.ai/\xC3\xA9", false, "", "", std::nullopt, ""},
        {"https://pelko.ai/%zz", false, "", "", std::nullopt, ""},
        {"https://pelko.ai/%4", false, "", "", std::nullopt, ""},
        {"http://host:99999999/", false, "", "", std::nullopt, ""},
        {"https://pelko.ai/<script>", false, "", "", std::nullopt, ""},
    };
    const GUriUrls urls;
    for (const auto& c : cases) {
        const auto url = urls.urlFromString(c.text);
        ASSERT_EQ(url.has_value(), c.valid) << c.text;
        if (!url) continue;
        EXPECT_EQ(url->absoluteString, c.text);
        EXPECT_EQ(url->scheme, c.scheme) << c.text;
        EXPECT_EQ(url->host, c.host) << c.text;
        EXPECT_EQ(url->port, c.port) << c.text;
        EXPECT_EQ(url->path, c.path) << c.text;
    }
}

class SettingsFolder : public ::testing::Test {
protected:
    void SetUp() override {
        folder = temporaryHome() + "/settings-" + ::testing::UnitTest::GetInstance()->current_test_info()->name();
        std::filesystem::create_directories(folder);
        path = folder + "/settings.ini";
    }
    std::string read() const {
        std::ifstream in(path);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    std::string folder;
    std::string path;
};

TEST_F(SettingsFolder, UserDefaultsKeepTheTypeOfWhatWasStored) {
    {
        gtk::SettingsFile file(path);
        gtk::KeyFileUserDefaults defaults(file);
        EXPECT_FALSE(defaults.objectForKey("voiceSpeakReplies"));
        defaults.setBool("voiceSpeakReplies", false);
        EXPECT_EQ(defaults.objectForKey("voiceSpeakReplies"), nlohmann::json(false));
    }
    // A fresh read of the file, as at the next launch.
    gtk::SettingsFile file(path);
    gtk::KeyFileUserDefaults defaults(file);
    EXPECT_EQ(defaults.objectForKey("voiceSpeakReplies"), nlohmann::json(false));
}

TEST_F(SettingsFolder, HandEditedValuesReadBackAsWhatTheyAre) {
    const std::vector<std::pair<std::string, nlohmann::json>> cases{
        {"true", true},
        {"0", 0},
        {"yes", "yes"},
        {"\"true\"", "true"},
        {"[1, 2", "[1, 2"},
        {std::string(5000, '[') + std::string(5000, ']'), std::string(5000, '[') + std::string(5000, ']')},
    };
    std::ofstream(path) << "[Defaults]\n";
    for (std::size_t i = 0; i < cases.size(); ++i) {
        std::ofstream(path, std::ios::app) << "k" << i << "=" << cases[i].first << "\n";
    }
    gtk::SettingsFile file(path);
    gtk::KeyFileUserDefaults defaults(file);
    for (std::size_t i = 0; i < cases.size(); ++i) {
        EXPECT_EQ(defaults.objectForKey("k" + std::to_string(i)), cases[i].second) << cases[i].first.substr(0, 20);
    }
}

TEST_F(SettingsFolder, AnUnreadableFileIsKeptAsideBeforeItIsReplaced) {
    const std::string garbage = "this is [not a key file\n\x01\x02";
    std::ofstream(path) << garbage;
    gtk::SettingsFile file(path);
    gtk::KeyFileUserDefaults defaults(file);
    EXPECT_FALSE(defaults.objectForKey("voiceSpeakReplies"));
    // Reading alone changes nothing on disk.
    EXPECT_EQ(read(), garbage);
    defaults.setBool("voiceSpeakReplies", true);
    std::ifstream aside(path + ".unreadable");
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(aside), {}), garbage);
    EXPECT_NE(read().find("voiceSpeakReplies=true"), std::string::npos);
}

TEST_F(SettingsFolder, IntegersAreReadStrictly) {
    std::ofstream(path) << "[W]\na=1280\nb=12px\nc=\nd=99999999999\ne=-4\n";
    gtk::SettingsFile file(path);
    EXPECT_EQ(file.integer("W", "a"), 1280);
    EXPECT_FALSE(file.integer("W", "b"));
    EXPECT_FALSE(file.integer("W", "c"));
    EXPECT_FALSE(file.integer("W", "d"));
    EXPECT_EQ(file.integer("W", "e"), -4);
    EXPECT_FALSE(file.integer("W", "missing"));
}

TEST(BridgeRelay, ReadsOnlyWellFormedEnvelopes) {
    const nlohmann::json body = {{"type", "voice"}, {"event", "dictate"}};
    const auto envelope = [&](nlohmann::json origin, nlohmann::json mainFrame, nlohmann::json text) {
        return nlohmann::json{{"origin", origin}, {"mainFrame", mainFrame}, {"body", text}};
    };
    const auto good = gtk::readRelayedMessage("pelko", envelope("http://127.0.0.1:8421", false, body.dump()));
    ASSERT_TRUE(good);
    EXPECT_EQ(good->name, "pelko");
    EXPECT_EQ(good->body, body);
    EXPECT_EQ(good->frameOrigin, (SecurityOrigin{"http", "127.0.0.1", 8421}));
    EXPECT_FALSE(good->isMainFrame);

    // An opaque origin matches nothing.
    const auto opaque = gtk::readRelayedMessage("pelko", envelope("null", true, body.dump()));
    ASSERT_TRUE(opaque);
    EXPECT_EQ(opaque->frameOrigin, SecurityOrigin{});

    const nlohmann::json malformed[] = {
        nullptr,
        "text",
        nlohmann::json::object(),
        envelope(42, true, body.dump()),
        envelope("https://pelko.ai", "yes", body.dump()),
        envelope("https://pelko.ai", true, body),  // not JSON text
        envelope("https://pelko.ai", true, "{not json"),
        envelope("https://pelko.ai", true, std::string(300, '[') + std::string(300, ']')),
    };
    for (const auto& m : malformed) EXPECT_FALSE(gtk::readRelayedMessage("pelko", m)) << m.dump().substr(0, 60);
}

TEST(MenuKeyEquivalents, CommandBecomesCtrlAndCapitalsAddShift) {
    struct Case {
        const char* key;
        std::uint64_t mask;
        const char* expected;
    };
    const Case cases[] = {
        {"q", kDefaultKeyEquivalentModifierMask, "<Control>q"},
        {"Z", kDefaultKeyEquivalentModifierMask, "<Shift><Control>z"},
        {" ", kModifierCommand | kModifierShift, "<Shift><Control>space"},
        {"[", kDefaultKeyEquivalentModifierMask, "<Control>bracketleft"},
        {"x", kModifierCommand | kModifierOption, "<Control><Alt>x"},
        {"", kDefaultKeyEquivalentModifierMask, ""},
        {"\xff", kDefaultKeyEquivalentModifierMask, ""},
    };
    for (const auto& c : cases) {
        const gtk::Accelerator accelerator = gtk::acceleratorFor(c.key, c.mask);
        std::string name;
        if (accelerator) {
            gchar* text = gtk_accelerator_name(accelerator.keyval, static_cast<GdkModifierType>(accelerator.modifiers));
            name = text;
            g_free(text);
        }
        EXPECT_EQ(name, c.expected) << c.key;
    }
}

TEST(DesktopWorkspace, FilesThatMayRunCodeAreNeverOpened) {
    const std::string folder = temporaryHome() + "/opened";
    std::filesystem::create_directories(folder + "/a-folder");
    const auto make = [&](const std::string& name, const std::string& content, bool executable = false) {
        const std::string path = folder + "/" + name;
        std::ofstream(path) << content;
        if (executable) std::filesystem::permissions(path, std::filesystem::perms::owner_exec, std::filesystem::perm_options::add);
        return path;
    };
    // A program's bytes, without its execute permission.
    const auto copyOf = [&](const std::string& source, const std::string& name) {
        const std::string path = folder + "/" + name;
        std::filesystem::copy_file(source, path);
        std::filesystem::permissions(path, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
        return path;
    };
    const std::vector<std::pair<std::string, bool>> cases{
        {make("notes.txt", "plain words\n"), false},
        {make("report.pdf", "%PDF-1.4\n"), false},
        {make("photo.png", "\x89PNG\r\n\x1a\n"), false},
        {make("install.sh", "#!/bin/sh\necho hi\n"), true},
        // A text file opens in a text viewer, whatever it says.
        {make("looks-like-text.txt", "#!/bin/sh\nrm -rf ~\n"), false},
        {make("no-extension", "#!/bin/sh\nrm -rf ~\n"), true},
        {make("launcher.desktop", "[Desktop Entry]\nType=Application\nExec=sh -c true\n"), true},
        {copyOf("/bin/true", "tool"), true},
        {make("marked-executable.txt", "words\n", true), true},
        {make("script.py", "print('hi')\n"), true},
        {folder + "/a-folder", false},
        {folder + "/does-not-exist.txt", true},
    };
    for (const auto& [path, runs] : cases) EXPECT_EQ(gtk::fileMayRunCode(path), runs) << path;
}

TEST(GlibMainQueue, RunsBlocksInOrderFromAnyThreadAndTimersOnlyUntilInvalidated) {
    gtk::GlibMainQueue queue;
    std::vector<int> order;
    std::mutex mutex;
    std::atomic<int> fromThreads{0};
    queue.async([&] { order.push_back(1); });
    queue.asyncAfter(30ms, [&] { order.push_back(4); });
    queue.asyncAfter(10ms, [&] { order.push_back(3); });
    queue.async([&] {
        order.push_back(2);
        queue.async([&] { order.push_back(5); });  // after everything already queued
    });
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < 50; ++i) queue.async([&] { ++fromThreads; });
        });
    }
    for (auto& thread : threads) thread.join();

    bool fired = false;
    bool cancelled = false;
    auto kept = queue.scheduledTimer(20ms, [&] { fired = true; });
    auto invalidated = queue.scheduledTimer(20ms, [&] { cancelled = true; });
    invalidated->invalidate();
    invalidated->invalidate();  // more than once is fine
    // Dropping the handle does not stop a scheduled timer.
    bool droppedFired = false;
    queue.scheduledTimer(20ms, [&] { droppedFired = true; }).reset();

    // However late the loop gets to them, delayed blocks run in the order they fall due.
    g_usleep(50000);
    ASSERT_TRUE(runUntil([&] { return order.size() == 5 && fired && droppedFired && fromThreads == 200; }, 5s));
    EXPECT_EQ(order.front(), 1);
    EXPECT_EQ(order[1], 2);
    EXPECT_LT(std::find(order.begin(), order.end(), 3), std::find(order.begin(), order.end(), 4));
    EXPECT_FALSE(cancelled);
    kept->invalidate();  // after firing: nothing happens
}

}  // namespace
}  // namespace pelko::e2e
