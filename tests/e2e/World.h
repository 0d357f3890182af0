#pragma once

#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

typedef struct _GtkApplication GtkApplication;

namespace pelko::demo {
class DemoService;
}
namespace pelko::gtk {
class LinuxPlatform;
}

namespace pelko::e2e {

using namespace std::chrono_literals;

// Runs the GLib main loop until `done` holds or `timeout` passes; true when
// it holds. Wakes up often enough to notice changes made by other threads.
bool runUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout = 15s);

// The temporary HOME of this test process, with the XDG folders inside it.
// Made and exported before anything reads them; removed at exit.
const std::string& temporaryHome();
void makeTemporaryHome();
void removeTemporaryHome();

// What every end-to-end test of this process shares, made on first use: a
// private session bus (so the application id is ours alone), the
// GtkApplication registered on it, every real Linux port, and the demo
// service on a free loopback port.
class World {
public:
    static World& get();
    static void shutdown();

    GtkApplication* application() const { return application_; }
    gtk::LinuxPlatform& platform() { return *platform_; }
    demo::DemoService& demo() { return *demo_; }
    // http://127.0.0.1:<port>, the service origin of the tests.
    std::string origin() const;
    // The same service under the other loopback name: another origin.
    std::string otherOrigin() const;

    ~World();

private:
    World();
    void startPrivateBus();

    int busPid_ = 0;
    std::string busFolder_;
    GtkApplication* application_ = nullptr;
    std::unique_ptr<gtk::LinuxPlatform> platform_;
    std::unique_ptr<demo::DemoService> demo_;
};

// Runs this test program again as a helper process (see E2EMain.cpp) with
// `arguments` and extra environment, spinning the main loop while it runs.
// Returns its exit status, or -1 when it could not run or timed out.
int runHelperProcess(const std::vector<std::string>& arguments, const std::map<std::string, std::string>& environment,
                     std::chrono::milliseconds timeout = 60s);

}  // namespace pelko::e2e
