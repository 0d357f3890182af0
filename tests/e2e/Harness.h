#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <set>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "fakes/FakeAlerts.h"
#include "fakes/FakeOpenPanels.h"
#include "fakes/FakeWorkspace.h"
#include "RecordingAppDelegate.h"

typedef struct _GTestDBus GTestDBus;
typedef struct _GtkApplication GtkApplication;
typedef struct _GtkWindow GtkWindow;
typedef struct _WebKitWebView WebKitWebView;

namespace pelko::demo {
class DemoService;
}
namespace pelko::gtk {
class ApplicationLifecycle;
class Platform;
}  // namespace pelko::gtk

namespace pelko::e2e {

using namespace std::chrono_literals;

// Runs the GLib main loop until `done` holds or `timeout` passes; true when it holds.
bool runUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout = 15s);

// The ids of this process's threads.
std::set<std::string> threadIds();
// No thread is left that was not there before (threads that were may have ended).
bool noNewThreadSince(const std::set<std::string>& before);
// How many of this process's threads have this name.
int threadsNamed(const std::string& name);

// A file's bytes; empty when it cannot be read.
std::string fileContents(const std::string& path);
// The samples of a canonical 16-bit PCM WAV file, as sox writes it.
std::vector<std::int16_t> wavSamples(const std::string& path);

// This process's HOME, with the XDG folders in it; made before GLib, GTK or
// WebKit read them, removed at exit. No user-dirs.dirs names a Downloads
// folder, so downloads land in its Downloads.
const std::string& temporaryHome();

// What the tests of a process share, made on first use: a session bus of
// their own (the application id is theirs alone), the GtkApplication on it,
// the real Linux ports and the demo service on a free loopback port.
struct World {
    static World& get();
    static void shutdown();
    ~World();
    std::string origin() const;  // http://127.0.0.1:<port>, the service origin

    GtkApplication* application = nullptr;
    std::unique_ptr<gtk::Platform> platform;
    std::unique_ptr<demo::DemoService> demo;

private:
    World();
    GTestDBus* bus_;
};

// Runs this test program again with `arguments` (a helper role, see
// Harness.cpp), over the data folders in `profile` when one is given; its
// exit status, or -1.
int runHelperProcess(const std::vector<std::string>& arguments, const std::string& profile = "");

// The Linux app put together as the process entry does it, with answered
// alerts, a recording workspace and file choosers that answer at once, for
// the demo service's origin.
class TestApp {
public:
    TestApp();
    ~TestApp();

    // The first activation, then the home page's load.
    [[nodiscard]] bool launch();
    test::RecordingAppDelegate& delegate() { return *delegate_; }
    // Every voice status shown since the launch, in order.
    std::vector<std::string>& voiceStatuses() { return voiceStatuses_; }
    test::FakeAlerts& alerts() { return alerts_; }
    test::FakeWorkspace& workspace() { return workspace_; }
    test::FakeOpenPanels& openPanels() { return openPanels_; }
    GtkWindow* window() const;
    WebKitWebView* webView() const;
    std::string url() const;

    // Does `action` and waits until a load ends at `path` on the service
    // origin. Whether the load succeeded is not asked: a page the back/forward
    // cache restores may report its own earlier cancellation.
    [[nodiscard]] bool loads(const std::function<void()>& action, const std::string& path);
    // The same for a whole URL, on any origin.
    [[nodiscard]] bool loadsURL(const std::function<void()>& action, const std::string& url);
    [[nodiscard]] bool load(const std::string& path);
    // The script's value in the top frame; an error fails the test.
    nlohmann::json eval(const std::string& script);
    [[nodiscard]] bool waitFor(const std::string& script, const nlohmann::json& expected);

    // The rendered menu bar, depth first: (label, action name); menus have no action.
    std::vector<std::pair<std::string, std::string>> menuItems() const;
    // Activates the rendered item labelled `label`, as a click on it does.
    void choose(const std::string& label) const;

private:
    test::FakeAlerts alerts_;
    test::FakeWorkspace workspace_;
    test::FakeOpenPanels openPanels_;
    std::shared_ptr<test::RecordingAppDelegate> delegate_;
    std::vector<std::string> voiceStatuses_;
    std::unique_ptr<gtk::ApplicationLifecycle> lifecycle_;
    int loadsEnded_ = 0;
};

}  // namespace pelko::e2e
