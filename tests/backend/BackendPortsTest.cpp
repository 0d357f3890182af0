// The Linux adapters' own logic that no other test reaches: URL parsing, the
// settings file, the relay's envelope, key equivalents, the Downloads folder
// and the file operations, child processes, which volumes are disk images,
// the real file chooser, the main queue's order, and the URL session's
// thread and size limit.
#include <gtest/gtest.h>
#include <gtk/gtk.h>
#include <httplib.h>

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <thread>

#include "Harness.h"
#include "gtk/app/MenuBar.h"
#include "gtk/app/WindowPort.h"
#include "gtk/system/DiskImagesPort.h"
#include "gtk/system/FilesPort.h"
#include "gtk/system/GObjectRef.h"
#include "gtk/system/MainQueuePort.h"
#include "gtk/system/ProcessesPort.h"
#include "gtk/system/SettingsFile.h"
#include "gtk/system/UrlSessionPort.h"
#include "gtk/system/UrlsPort.h"
#include "gtk/system/UserDefaultsPort.h"
#include "gtk/web/BridgeRelay.h"
#include "gtk/web/OpenPanelsPort.h"

namespace pelko::e2e {
namespace {

TEST(BackendPorts, UrlsParseLikeThePlatformsUrlType) {
    const std::pair<const char*, const char*> cases[] = {
        {"http://127.0.0.1:8421/desktop-latest.json", "http 127.0.0.1 8421 /desktop-latest.json"},
        {"https://Docs.GitHub.com/a%20b/Setup.DMG?x=1#f", "https Docs.GitHub.com 0 /a b/Setup.DMG"},
        {"http://[::1]:9/x", "http ::1 9 /x"},
        {"https://pelko.ai/a b", "invalid"},
        {"https://pelko.ai/%4", "invalid"},
    };
    for (const auto& [text, expected] : cases) {
        const auto url = gtk::UrlsPort().urlFromString(text);
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
        gtk::UserDefaultsPort defaults(file);
        const std::pair<const char*, nlohmann::json> values[] = {
            {"flag", true}, {"number", 0}, {"word", "yes"}, {"quoted", "true"}, {"broken", "[1, 2"}};
        for (const auto& [key, value] : values) EXPECT_EQ(defaults.objectForKey(key), value) << key;
        EXPECT_EQ(file.integer("W", "plain"), 1280);
        EXPECT_FALSE(file.integer("W", "unit") || file.integer("W", "huge"));
        defaults.setBool("voiceSpeakReplies", false);
    }
    gtk::SettingsFile reread(path);  // as at the next launch
    EXPECT_EQ(gtk::UserDefaultsPort(reread).objectForKey("voiceSpeakReplies"), nlohmann::json(false));

    std::ofstream(path) << "this is [not a key file\n";
    gtk::SettingsFile garbled(path);
    gtk::UserDefaultsPort defaults(garbled);
    EXPECT_FALSE(defaults.objectForKey("voiceSpeakReplies"));
    defaults.setBool("voiceSpeakReplies", true);
    EXPECT_EQ(fileContents(path + ".unreadable"), "this is [not a key file\n");
    EXPECT_NE(fileContents(path).find("voiceSpeakReplies=true"), std::string::npos);
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

// A suite of its own, so a process of its own: GLib's cache of the user's
// folders keeps a folder once named, and no other test may see this one's.
TEST(DownloadsFolder, IsTheFolderTheUserNamedOrHomeDownloadsAndIsMadePrivate) {
    namespace fs = std::filesystem;
    const std::string home = temporaryHome();
    const std::string userDirs = std::string(g_get_user_config_dir()) + "/user-dirs.dirs";
    const auto named = [&](const std::string& folder) {
        std::ofstream(userDirs) << "XDG_DOWNLOAD_DIR=\"$HOME/" << folder << "\"\n";
        g_reload_user_special_dirs_cache();
    };
    gtk::FilesPort files;
    EXPECT_EQ(files.homeDirectory(), home);
    EXPECT_EQ(files.downloadsDirectory(), home + "/Downloads");
    named("Saved/Here");
    EXPECT_EQ(files.downloadsDirectory(), home + "/Saved/Here");
    EXPECT_EQ(fs::status(home + "/Saved/Here").permissions(), fs::perms::owner_all);
    std::ofstream(home + "/in-the-way") << "a file\n";
    named("in-the-way");
    EXPECT_EQ(files.downloadsDirectory(), std::nullopt);
}

TEST(BackendPorts, AnItemExistsWhateverItIsEvenALinkToNothing) {
    namespace fs = std::filesystem;
    const std::string folder = temporaryHome() + "/items";
    fs::create_directories(folder);
    std::ofstream(folder + "/file") << "x";
    fs::create_symlink(folder + "/gone", folder + "/dangling");
    gtk::FilesPort files;
    for (const char* name : {"", "/file", "/dangling"}) EXPECT_TRUE(files.fileExistsAtPath(folder + name)) << name;
    for (const char* name : {"/gone", "/file/below"}) EXPECT_FALSE(files.fileExistsAtPath(folder + name)) << name;
}

TEST(BackendPorts, FilesCopyAndSwapWholeTreesAndWriteThePrivateFileInOneStep) {
    namespace fs = std::filesystem;
    const std::string folder = temporaryHome() + "/tree";
    const std::string app = folder + "/Pelko.app";
    fs::create_directories(app + "/Contents/MacOS");
    std::ofstream(app + "/Contents/MacOS/Pelko") << "v1";
    fs::permissions(app + "/Contents/MacOS/Pelko", fs::perms::owner_all);
    fs::create_symlink("MacOS/Pelko", app + "/Contents/link");
    gtk::FilesPort files;

    EXPECT_EQ(files.createDirectoryAtPath(folder + "/a/b"), std::nullopt);
    EXPECT_EQ(files.createDirectoryAtPath(folder + "/a/b"), std::nullopt);
    const std::string copy = folder + "/.staging";
    ASSERT_EQ(files.copyItemAtPath(app, copy), std::nullopt);
    EXPECT_EQ(fs::status(copy + "/Contents/MacOS/Pelko").permissions(), fs::perms::owner_all);
    EXPECT_TRUE(fs::is_symlink(copy + "/Contents/link"));
    EXPECT_NE(files.copyItemAtPath(app, copy), std::nullopt);

    std::ofstream(copy + "/Contents/MacOS/Pelko") << "v2";
    ASSERT_EQ(files.replaceItemAtPath(app, copy), std::nullopt);
    EXPECT_EQ(fileContents(app + "/Contents/MacOS/Pelko"), "v2");
    EXPECT_FALSE(fs::exists(copy));
    EXPECT_NE(files.replaceItemAtPath(app, copy), std::nullopt);
    EXPECT_TRUE(fs::exists(app + "/Contents/MacOS/Pelko"));
    EXPECT_EQ(files.moveItemAtPath(app, copy), std::nullopt);
    EXPECT_NE(files.moveItemAtPath(folder + "/a", copy), std::nullopt);
    EXPECT_EQ(files.removeItemAtPath(copy), std::nullopt);
    EXPECT_FALSE(fs::exists(copy));
    EXPECT_NE(files.removeItemAtPath(copy), std::nullopt);

    const std::string plist = folder + "/job.plist";
    std::ofstream(plist) << "old";
    fs::permissions(plist, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read | fs::perms::others_read);
    ASSERT_EQ(files.writePrivateFileAtomically(plist, "new \u00e9"), std::nullopt);
    EXPECT_EQ(fileContents(plist), "new \u00e9");
    EXPECT_EQ(fs::status(plist).permissions(), fs::perms::owner_read | fs::perms::owner_write);
    const auto failed = files.writePrivateFileAtomically(folder + "/missing/job.plist", "x");
    ASSERT_NE(failed, std::nullopt);
    EXPECT_FALSE(failed->localizedDescription.empty());
    fs::remove_all(folder);
}

TEST(BackendPorts, ProcessesRunWaitedForOrLeftRunningAndThereIsNoLaunchctl) {
    gtk::ProcessesPort processes;
    EXPECT_TRUE(processes.isExecutableFileAtPath("/bin/sh"));
    EXPECT_FALSE(processes.isExecutableFileAtPath("/bin"));
    EXPECT_FALSE(processes.isExecutableFileAtPath("/bin/launchctl"));
    EXPECT_EQ(processes.realUserId(), getuid());
    constexpr std::chrono::milliseconds kPatience{10000};
    EXPECT_EQ(processes.runAndWait("/bin/sh", {"-c", "exit 3"}, kPatience), 3);
    EXPECT_EQ(processes.runAndWait("/bin/sh", {"-c", R"(test "$1" = 'a "b"')", "sh", "a \"b\""}, kPatience), 0);
    EXPECT_EQ(processes.runAndWait("/bin/launchctl", {"list"}, kPatience), std::nullopt);

    // The launched shell waits for input this test gives only after launch returned.
    const std::string folder = temporaryHome() + "/launch";
    std::filesystem::create_directories(folder);

    // One that outstays its time is ended before the call returns, and counts as failed.
    const std::string pidFile = folder + "/hung.pid";
    const auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(processes.runAndWait("/bin/sh", {"-c", "echo $$ > \"$1\"; exec sleep 30", "sh", pidFile},
                                   std::chrono::milliseconds(300)),
              std::nullopt);
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(5));
    std::ifstream pidText(pidFile);
    pid_t hung = 0;
    ASSERT_TRUE(pidText >> hung);
    EXPECT_NE(kill(hung, 0), 0) << "the hung child is still there";
    const std::string in = folder + "/in", out = folder + "/out";
    ASSERT_EQ(mkfifo(in.c_str(), 0600), 0);
    ASSERT_EQ(mkfifo(out.c_str(), 0600), 0);
    ASSERT_TRUE(processes.launch("/bin/sh", {"-c", R"(read line < "$0"; echo "got $line" > "$1")", in, out}));
    std::ofstream(in) << "go\n";
    EXPECT_EQ(fileContents(out), "got go\n");
    EXPECT_FALSE(processes.launch("/nonexistent/program", {}));
    std::filesystem::remove_all(folder);
}

TEST(BackendPorts, ADiskImageIsAMountedImageFileAndNothingElse) {
    const gtk::DiskImagesPort diskImages;
    const std::string folder = temporaryHome() + "/disk-image";
    std::filesystem::create_directories(folder + "/volume");
    EXPECT_FALSE(diskImages.isMountedDiskImage("/"));
    EXPECT_FALSE(diskImages.isMountedDiskImage("/proc"));
    EXPECT_FALSE(diskImages.isMountedDiskImage(folder + "/volume"));
    EXPECT_FALSE(diskImages.isMountedDiskImage(folder + "/nothing"));

    // An image mounted through a loop device, where this user may mount one.
    gtk::ProcessesPort processes;
    const std::string image = folder + "/image", volume = folder + "/volume";
    std::ofstream(image).close();
    std::filesystem::resize_file(image, 4 << 20);
    constexpr std::chrono::milliseconds kMountPatience{30000};
    if (processes.runAndWait("/bin/sh",
                             {"-c", "mke2fs -q -F \"$0\" 2>/dev/null && mount -o loop \"$0\" \"$1\" 2>/dev/null",
                              image, volume},
                             kMountPatience) != 0) {
        std::filesystem::remove_all(folder);
        GTEST_SKIP() << "no loop device may be mounted here";
    }
    EXPECT_TRUE(diskImages.isMountedDiskImage(volume));
    EXPECT_FALSE(diskImages.isMountedDiskImage(volume + "/lost+found"));
    EXPECT_EQ(processes.runAndWait("/bin/umount", {volume}, kMountPatience), 0);
    EXPECT_FALSE(diskImages.isMountedDiskImage(volume));
    std::filesystem::remove_all(folder);
}

// GTK's own chooser dialog, which the native chooser shows where there is no portal (as here).
GtkWindow* chooserDialogOf(GtkWindow* parent) {
    GtkWindow* found = nullptr;
    GListModel* toplevels = gtk_window_get_toplevels();
    for (guint i = 0; !found && i < g_list_model_get_n_items(toplevels); ++i) {
        auto* window = GTK_WINDOW(g_list_model_get_item(toplevels, i));
        if (GTK_IS_FILE_CHOOSER_DIALOG(window) && gtk_widget_get_visible(GTK_WIDGET(window)) &&
            gtk_window_get_transient_for(window) == parent)
            found = window;
        g_object_unref(window);
    }
    return found;
}

TEST(BackendPorts, TheFileChooserIsModalOnItsWindowAndAnswersOnceWithTheLinkedFileOrNone) {
    World::get();  // GTK, set up
    namespace fs = std::filesystem;
    const std::string folder = temporaryHome() + "/chooser";
    fs::create_directories(folder);
    std::ofstream(folder + "/target.txt") << "chosen\n";
    fs::create_symlink(folder + "/target.txt", folder + "/link.txt");
    gtk::SettingsFile settings(folder + "/settings.ini");
    gtk::WindowPort window(nullptr, settings, Rect{0, 0, 400, 300}, kWindowStyleTitled);
    gtk::OpenPanelsPort panels;

    // Accepted, then closed with the window's close button, then cancelled.
    for (const int response : {GTK_RESPONSE_ACCEPT, GTK_RESPONSE_DELETE_EVENT, GTK_RESPONSE_CANCEL}) {
        SCOPED_TRACE(response);
        std::vector<std::optional<std::vector<std::string>>> answers;
        OpenPanelOptions options;
        options.allowsMultipleSelection = response == GTK_RESPONSE_ACCEPT;
        panels.beginSheetModalForWindow(window, options,
                                        OpenPanelCompletion([&](auto paths) { answers.push_back(std::move(paths)); }));
        GtkWindow* dialog = nullptr;
        ASSERT_TRUE(runUntil([&] { return (dialog = chooserDialogOf(window.gtkWindow())) != nullptr; }));
        auto* chooser = GTK_FILE_CHOOSER(dialog);
        EXPECT_TRUE(gtk_window_get_modal(dialog));
        EXPECT_EQ(gtk_file_chooser_get_action(chooser), GTK_FILE_CHOOSER_ACTION_OPEN);
        EXPECT_EQ(gtk_file_chooser_get_select_multiple(chooser), options.allowsMultipleSelection);
        // The user picks the link, whatever the chooser's answer then.
        auto link = gtk::GObjectRef<GFile>::adopt(g_file_new_for_path((folder + "/link.txt").c_str()));
        gtk_file_chooser_set_file(chooser, link.get(), nullptr);
        // The chooser selects it once it has read the folder.
        ASSERT_TRUE(runUntil([&] {
            GListModel* files = gtk_file_chooser_get_files(chooser);
            const bool selected = g_list_model_get_n_items(files) == 1;
            g_object_unref(files);
            return selected;
        }));
        g_object_add_weak_pointer(G_OBJECT(dialog), reinterpret_cast<gpointer*>(&dialog));
        if (response == GTK_RESPONSE_DELETE_EVENT) {
            gtk_window_close(dialog);
        } else {
            gtk_dialog_response(GTK_DIALOG(dialog), response);
        }
        // Answered, and let go of.
        const bool letGo = runUntil([&] { return !answers.empty() && !dialog; });
        if (dialog) g_object_remove_weak_pointer(G_OBJECT(dialog), reinterpret_cast<gpointer*>(&dialog));
        ASSERT_TRUE(letGo);
        ASSERT_EQ(answers.size(), 1u);
        if (response == GTK_RESPONSE_ACCEPT) {
            EXPECT_EQ(answers[0], std::vector<std::string>{fs::canonical(folder + "/target.txt").string()});
        } else {
            EXPECT_EQ(answers[0], std::nullopt);
        }
    }
}

TEST(BackendPorts, TheMainQueueRunsBlocksInTheOrderTheyFallDueAndTimersUntilInvalidated) {
    gtk::MainQueuePort queue;
    std::vector<int> order;
    queue.asyncAfter(30ms, [&] { order.push_back(3); });
    queue.asyncAfter(10ms, [&] { order.push_back(2); });
    std::thread([&] { queue.async([&] { order.push_back(1); }); }).join();
    bool invalidatedFired = false;
    bool droppedFired = false;
    queue.scheduledTimer(20ms, [&] { invalidatedFired = true; })->invalidate();
    queue.scheduledTimer(20ms, [&] { droppedFired = true; }).reset();  // dropping the handle does not stop it
    ASSERT_TRUE(runUntil([&] { return order.size() == 3 && droppedFired; }, 5s));
    EXPECT_LT(std::find(order.begin(), order.end(), 2), std::find(order.begin(), order.end(), 3));
    EXPECT_FALSE(invalidatedFired);
}

TEST(BackendPorts, TheUrlSessionAnswersOffTheMainThreadAndABodyOverTheLimitIsAnError) {
    httplib::Server server;
    server.Get(R"(/(\d+))", [](const httplib::Request& request, httplib::Response& response) {
        response.set_content(std::string(std::stoul(request.matches[1]), 'x'), "application/octet-stream");
    });
    const std::string origin = "http://127.0.0.1:" + std::to_string(server.bind_to_any_port("127.0.0.1"));
    std::thread serving([&] { server.listen_after_bind(); });
    std::mutex mutex;
    std::vector<std::string> outcomes;  // bytes received, status, whether it failed, on which thread
    auto session = std::make_unique<gtk::UrlSessionPort>("Pelko-test ");
    for (const std::size_t size : {kMaxDataTaskBytes, kMaxDataTaskBytes + 1}) {
        const auto url = gtk::UrlsPort().urlFromString(origin + "/" + std::to_string(size));
        session->dataTaskWithURL(*url, [&, main = std::this_thread::get_id()](auto& data, auto& response, auto& error) {
            std::lock_guard lock(mutex);
            outcomes.push_back(std::to_string(data ? data->size() : 0) + " " +
                               std::to_string(response ? response->statusCode : 0) + (error ? " error" : "") +
                               (std::this_thread::get_id() == main ? " on main" : ""));
        });
    }
    const bool answered = runUntil([&] {
        std::lock_guard lock(mutex);
        return outcomes.size() == 2;
    });
    session.reset();  // its connections go with it: the server need not wait for them
    server.stop();
    serving.join();
    ASSERT_TRUE(answered);
    std::sort(outcomes.begin(), outcomes.end());
    EXPECT_EQ(outcomes, (std::vector<std::string>{"0 200 error", "1048576 200"}));
}

}  // namespace
}  // namespace pelko::e2e
