#include "World.h"

#include <gtk/gtk.h>

#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>

#include "DemoService.h"
#include "app/BuildConfig.h"
#include "gtk/LinuxPlatform.h"

namespace pelko::e2e {

namespace {

std::string& homePath() {
    static std::string path;
    return path;
}

World*& worldInstance() {
    static World* world = nullptr;
    return world;
}

gboolean wakeUp(gpointer) { return G_SOURCE_CONTINUE; }

}  // namespace

bool runUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    const guint ticker = g_timeout_add(10, wakeUp, nullptr);
    bool held = done();
    while (!held && std::chrono::steady_clock::now() < deadline) {
        g_main_context_iteration(nullptr, TRUE);
        held = done();
    }
    g_source_remove(ticker);
    return held;
}

const std::string& temporaryHome() { return homePath(); }

void makeTemporaryHome() {
    gchar* made = g_dir_make_tmp("pelko-e2e-XXXXXX", nullptr);
    if (!made) throw std::runtime_error("cannot make a temporary home");
    homePath() = made;
    g_free(made);
    const std::string home = homePath();
    for (const char* folder : {"/config", "/data", "/cache", "/runtime", "/Downloads"}) {
        g_mkdir_with_parents((home + folder).c_str(), 0700);
    }
    // Before GLib, GTK or WebKit read any of them.
    g_setenv("HOME", home.c_str(), TRUE);
    g_setenv("XDG_CONFIG_HOME", (home + "/config").c_str(), TRUE);
    g_setenv("XDG_DATA_HOME", (home + "/data").c_str(), TRUE);
    g_setenv("XDG_CACHE_HOME", (home + "/cache").c_str(), TRUE);
    g_setenv("XDG_RUNTIME_DIR", (home + "/runtime").c_str(), TRUE);
    g_setenv("XDG_DOWNLOAD_DIR", (home + "/Downloads").c_str(), TRUE);
    // No session bus until a test makes its own (World): nothing may start
    // one behind our back (D-Bus autolaunch) and leave it running.
    g_setenv("DBUS_SESSION_BUS_ADDRESS", ("unix:path=" + home + "/no-session-bus").c_str(), TRUE);
    // Nothing written after the folders are gone at exit.
    g_setenv("MESA_SHADER_CACHE_DISABLE", "true", TRUE);
    // No accessibility bus in the test session.
    g_setenv("NO_AT_BRIDGE", "1", TRUE);
    g_setenv("GTK_A11Y", "none", TRUE);
}

void removeTemporaryHome() {
    if (homePath().empty()) return;
    std::error_code ignored;
    std::filesystem::remove_all(homePath(), ignored);
    homePath().clear();
}

World& World::get() {
    if (!worldInstance()) worldInstance() = new World();
    return *worldInstance();
}

void World::shutdown() { delete std::exchange(worldInstance(), nullptr); }

World::World() {
    startPrivateBus();
    application_ = gtk_application_new(gtk::kApplicationId, G_APPLICATION_DEFAULT_FLAGS);
    GError* error = nullptr;
    if (!g_application_register(G_APPLICATION(application_), nullptr, &error)) {
        const std::string message = error ? error->message : "unknown error";
        g_clear_error(&error);
        throw std::runtime_error("cannot register the application: " + message);
    }
    if (g_application_get_is_remote(G_APPLICATION(application_))) {
        throw std::runtime_error("another instance owns the application id on the test bus");
    }
    platform_ = std::make_unique<gtk::LinuxPlatform>(application_, gtk::DataDirectories::forCurrentUser(),
                                                     build::kVersion);
    demo_ = std::make_unique<demo::DemoService>("9.9.9");
    if (!demo_->start(0)) throw std::runtime_error("cannot start the demo service");
}

World::~World() {
    demo_.reset();
    platform_.reset();
    if (application_) g_object_unref(application_);
    if (busPid_ > 0) {
        kill(busPid_, SIGTERM);
        waitpid(busPid_, nullptr, 0);
        g_spawn_close_pid(busPid_);
    }
    if (!busFolder_.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(busFolder_, ignored);
    }
}

void World::startPrivateBus() {
    // A bus of our own that starts no services: nothing is left behind, and
    // a test that wants a service on it provides it itself.
    gchar* folder = g_dir_make_tmp("pelko-e2e-bus-XXXXXX", nullptr);
    if (!folder) throw std::runtime_error("cannot make a folder for the session bus");
    busFolder_ = folder;
    g_free(folder);
    const std::string config = busFolder_ + "/session-bus.conf";
    const std::string socketFolder = busFolder_;
    if (!g_file_set_contents(config.c_str(),
                             ("<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\" "
                              "\"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
                              "<busconfig><type>session</type><listen>unix:tmpdir=" + socketFolder +
                              "</listen><auth>EXTERNAL</auth><policy context=\"default\"><allow send_destination=\"*\"/>"
                              "<allow eavesdrop=\"true\"/><allow own=\"*\"/></policy></busconfig>\n")
                                 .c_str(),
                             -1, nullptr))
        throw std::runtime_error("cannot write the session bus configuration");
    const std::string configArgument = "--config-file=" + config;
    gchar* argv[] = {const_cast<gchar*>("dbus-daemon"), const_cast<gchar*>(configArgument.c_str()),
                     const_cast<gchar*>("--nofork"), const_cast<gchar*>("--print-address=1"), nullptr};
    GPid pid = 0;
    int out = -1;
    GError* error = nullptr;
    // The bus ends with this process, however it ends.
    const GSpawnChildSetupFunc dieWithParent = [](gpointer) { prctl(PR_SET_PDEATHSIG, SIGTERM); };
    if (!g_spawn_async_with_pipes(nullptr, argv, nullptr, GSpawnFlags(G_SPAWN_SEARCH_PATH | G_SPAWN_STDERR_TO_DEV_NULL |
                                                                         G_SPAWN_DO_NOT_REAP_CHILD),
                                  dieWithParent, nullptr, &pid, nullptr, &out, nullptr, &error)) {
        const std::string message = error ? error->message : "unknown error";
        g_clear_error(&error);
        throw std::runtime_error("cannot start dbus-daemon: " + message);
    }
    busPid_ = pid;
    std::string address;
    char c = 0;
    while (read(out, &c, 1) == 1 && c != '\n') address += c;
    close(out);
    if (address.empty()) throw std::runtime_error("dbus-daemon gave no address");
    g_setenv("DBUS_SESSION_BUS_ADDRESS", address.c_str(), TRUE);
}

std::string World::origin() const { return "http://127.0.0.1:" + std::to_string(demo_->port()); }

std::string World::otherOrigin() const { return "http://localhost:" + std::to_string(demo_->port()); }

int runHelperProcess(const std::vector<std::string>& arguments, const std::map<std::string, std::string>& environment,
                     std::chrono::milliseconds timeout) {
    gchar* self = g_file_read_link("/proc/self/exe", nullptr);
    if (!self) return -1;
    std::vector<gchar*> argv{self};
    for (const auto& argument : arguments) argv.push_back(const_cast<gchar*>(argument.c_str()));
    argv.push_back(nullptr);

    gchar** envp = g_get_environ();
    for (const auto& [name, value] : environment) envp = g_environ_setenv(envp, name.c_str(), value.c_str(), TRUE);

    GPid pid = 0;
    GError* error = nullptr;
    const bool spawned = g_spawn_async(nullptr, argv.data(), envp, G_SPAWN_DO_NOT_REAP_CHILD, nullptr, nullptr, &pid,
                                       &error);
    g_strfreev(envp);
    g_free(self);
    if (!spawned) {
        g_clear_error(&error);
        return -1;
    }
    struct Exit {
        bool done = false;
        int status = -1;
    } exit;
    g_child_watch_add(pid, [](GPid child, gint status, gpointer data) {
        auto* result = static_cast<Exit*>(data);
        result->done = true;
        result->status = g_spawn_check_wait_status(status, nullptr) ? 0 : (WIFEXITED(status) ? WEXITSTATUS(status) : -1);
        g_spawn_close_pid(child);
    }, &exit);
    if (!runUntil([&] { return exit.done; }, timeout)) {
        kill(pid, SIGKILL);
        runUntil([&] { return exit.done; }, 5s);
        return -1;
    }
    return exit.status;
}

}  // namespace pelko::e2e
