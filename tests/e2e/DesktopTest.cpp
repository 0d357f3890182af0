// The real desktop port: default applications and the file manager, with
// a stand-in application and file manager installed in the test session.
#include <gio/gio.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "World.h"
#include "gtk/DesktopWorkspace.h"
#include "gtk/GUriUrls.h"

namespace pelko::e2e {
namespace {

constexpr const char* kFileManagerXml = R"(
<node>
  <interface name="org.freedesktop.FileManager1">
    <method name="ShowItems">
      <arg type="as" name="uris" direction="in"/>
      <arg type="s" name="startupId" direction="in"/>
    </method>
  </interface>
</node>)";

// A file manager on the session bus that records what it is asked to show.
class StandInFileManager {
public:
    StandInFileManager() {
        World::get();  // the private session bus
        bus_ = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, nullptr);
        GDBusNodeInfo* node = g_dbus_node_info_new_for_xml(kFileManagerXml, nullptr);
        static const GDBusInterfaceVTable vtable{
            [](GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar*, GVariant* parameters,
               GDBusMethodInvocation* invocation, gpointer data) {
                GVariantIter* uris = nullptr;
                const gchar* startup = nullptr;
                g_variant_get(parameters, "(as&s)", &uris, &startup);
                std::vector<std::string> call;
                const gchar* uri = nullptr;
                while (g_variant_iter_next(uris, "&s", &uri)) call.push_back(uri);
                g_variant_iter_free(uris);
                static_cast<StandInFileManager*>(data)->shown.push_back(call);
                g_dbus_method_invocation_return_value(invocation, nullptr);
            },
            nullptr, nullptr, {}};
        object_ = g_dbus_connection_register_object(bus_, "/org/freedesktop/FileManager1", node->interfaces[0], &vtable,
                                                    this, nullptr, nullptr);
        g_dbus_node_info_unref(node);
        owner_ = g_bus_own_name_on_connection(bus_, "org.freedesktop.FileManager1", G_BUS_NAME_OWNER_FLAGS_NONE,
                                              [](GDBusConnection*, const gchar*, gpointer data) {
                                                  static_cast<StandInFileManager*>(data)->owned = true;
                                              },
                                              nullptr, this, nullptr);
        runUntil([this] { return owned; });
    }
    ~StandInFileManager() { leave(); }
    void leave() {
        if (owner_) g_bus_unown_name(std::exchange(owner_, 0));
        if (object_) g_dbus_connection_unregister_object(bus_, std::exchange(object_, 0));
        if (bus_) {
            g_dbus_connection_flush_sync(bus_, nullptr, nullptr);
            g_object_unref(std::exchange(bus_, nullptr));
        }
    }
    bool owned = false;
    std::vector<std::vector<std::string>> shown;

private:
    GDBusConnection* bus_ = nullptr;
    guint object_ = 0;
    guint owner_ = 0;
};

class Desktop : public ::testing::Test {
protected:
    // A default application for web links, text, scripts and folders that only writes down what it was given.
    void SetUp() override {
        const std::string home = temporaryHome();
        folder = home + "/desktop-" + ::testing::UnitTest::GetInstance()->current_test_info()->name();
        std::filesystem::create_directories(folder);
        std::filesystem::create_directories(home + "/data/applications");
        // One opener for the whole process (the desktop caches what it found); each test reads its own lines.
        log = home + "/opened.log";
        already = readLog().size();
        const std::string opener = home + "/opener.sh";
        std::ofstream(opener) << "#!/bin/sh\nprintf '%s\\n' \"$1\" >> '" << log << "'\n";
        std::filesystem::permissions(opener, std::filesystem::perms::owner_all);
        std::ofstream(home + "/data/applications/pelko-test-opener.desktop")
            << "[Desktop Entry]\nType=Application\nName=Test opener\nNoDisplay=true\nExec=" << opener
            << " %u\nMimeType=x-scheme-handler/https;text/plain;application/x-shellscript;inode/directory;\n";
        std::ofstream(home + "/config/mimeapps.list")
            << "[Default Applications]\nx-scheme-handler/https=pelko-test-opener.desktop\n"
               "text/plain=pelko-test-opener.desktop\napplication/x-shellscript=pelko-test-opener.desktop\n"
               "inode/directory=pelko-test-opener.desktop\n";
    }
    std::vector<std::string> readLog() const {
        std::ifstream in(log);
        std::vector<std::string> lines;
        for (std::string line; std::getline(in, line);) lines.push_back(line);
        return lines;
    }
    // What the stand-in application was given during this test; local files
    // arrive as paths.
    std::vector<std::string> opened() const {
        auto lines = readLog();
        lines.erase(lines.begin(), lines.begin() + static_cast<std::ptrdiff_t>(std::min(already, lines.size())));
        return lines;
    }
    std::string folder;
    std::string log;
    std::size_t already = 0;
    gtk::DesktopWorkspace workspace;
};

TEST_F(Desktop, LinksAndFilesGoToTheirDefaultApplicationsButCodeIsNeverRun) {
    workspace.openURL(*gtk::GUriUrls().urlFromString("https://example.com/outside?q=1"));
    const std::string script = folder + "/install.sh";
    std::ofstream(script) << "#!/bin/sh\necho ran > '" << folder << "/ran'\n";
    workspace.openFile(script);
    const std::string notes = folder + "/notes.txt";
    std::ofstream(notes) << "plain notes\n";
    workspace.openFile(notes);
    ASSERT_TRUE(runUntil([&] { return opened().size() >= 2; }));
    // Give a launch of the script every chance to show up: the marker file below comes after it.
    workspace.openFile(folder);
    ASSERT_TRUE(runUntil([&] { return opened().size() >= 3; }));
    auto lines = opened();
    std::sort(lines.begin(), lines.end());
    EXPECT_EQ(lines, (std::vector<std::string>{folder, notes, "https://example.com/outside?q=1"}));
    EXPECT_FALSE(std::filesystem::exists(folder + "/ran"));
}

TEST_F(Desktop, RevealingAsksTheFileManagerOrOpensTheFolder) {
    const std::string report = folder + "/report (1).pdf";
    std::ofstream(report) << "%PDF-1.4\n";
    {
        StandInFileManager fileManager;
        ASSERT_TRUE(fileManager.owned);
        workspace.activateFileViewerSelecting({report});
        ASSERT_TRUE(runUntil([&] { return !fileManager.shown.empty(); }));
        gchar* uri = g_filename_to_uri(report.c_str(), nullptr, nullptr);
        EXPECT_EQ(fileManager.shown, std::vector<std::vector<std::string>>{{uri}});
        g_free(uri);
        EXPECT_TRUE(opened().empty());
    }
    // Without a file manager on the bus, the folder opens instead.
    workspace.activateFileViewerSelecting({report});
    ASSERT_TRUE(runUntil([&] { return !opened().empty(); }));
    EXPECT_EQ(opened(), std::vector<std::string>{folder});
}

}  // namespace
}  // namespace pelko::e2e
