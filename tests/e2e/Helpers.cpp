#include "Helpers.h"

#include <gio/gio.h>

#include "TestApp.h"
#include "World.h"
#include "gtk/LinuxPlatform.h"

namespace pelko::e2e {

namespace {

constexpr int kNoRunningInstance = 3;

int secondLaunch() {
    GApplication* application = g_application_new(gtk::kApplicationId, G_APPLICATION_DEFAULT_FLAGS);
    bool activatedHere = false;
    g_signal_connect(application, "activate", G_CALLBACK(+[](GApplication*, gpointer data) {
                         *static_cast<bool*>(data) = true;
                     }),
                     &activatedHere);
    char name[] = "pelko";
    char* arguments[] = {name, nullptr};
    const int status = g_application_run(application, 1, arguments);
    g_object_unref(application);
    if (activatedHere) return kNoRunningInstance;
    return status;
}

// A whole launch of the app, then the cookie page: sets the cookie, or
// checks the service saw it.
int cookieRun(bool set, const std::string& value) {
    int status = 1;
    {
        TestApp app;
        app.launchAndWaitForHome();
        if (set) {
            if (app.load("/cookie?set=" + value) &&
                app.waitForValue("document.cookie.indexOf('pelko_demo=" + value + "') >= 0", true))
                status = 0;
        } else {
            // The page is rendered by the service: once loaded, it says what the service saw.
            if (app.load("/cookie") &&
                app.evaluate("document.getElementById('server-cookie').textContent").value == nlohmann::json(value))
                status = 0;
        }
    }
    World::shutdown();
    return status;
}

}  // namespace

int runHelper(const std::string& role) {
    if (role == "second-launch") return secondLaunch();
    if (role.rfind("cookie-set:", 0) == 0) return cookieRun(true, role.substr(11));
    if (role.rfind("cookie-check:", 0) == 0) return cookieRun(false, role.substr(13));
    return 2;
}

}  // namespace pelko::e2e
