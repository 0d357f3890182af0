// The end-to-end test program: its world, its app, and main. A test may run
// the program again as a helper process:
//   --helper=second-launch        a second launch of the application, which
//                                 hands its activation to the running instance;
//   --helper=cookie-set:<value>   a whole run of the app over the data folders
//   --helper=cookie-check:<value> it is given: sets the demo cookie, or
//                                 checks that the service sees it.
#include "Harness.h"

#include <gtest/gtest.h>
#include <gtk/gtk.h>
#include <webkit/webkit.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "DemoService.h"
#include "app/BuildConfig.h"
#include "gtk/app/ApplicationLifecycle.h"
#include "gtk/app/Platform.h"
#include "gtk/app/SoftwareDrawing.h"
#include "gtk/app/WindowPort.h"
#include "gtk/system/GObjectRef.h"
#include "gtk/web/WebViewPort.h"
#include "voice/VoiceController.h"

namespace pelko::e2e {

namespace {

std::string theHome;
World* theWorld = nullptr;

void collectMenu(GMenuModel* model, std::vector<std::pair<std::string, std::string>>& out) {
    for (int i = 0; i < g_menu_model_get_n_items(model); ++i) {
        gchar* label = nullptr;
        gchar* action = nullptr;
        g_menu_model_get_item_attribute(model, i, G_MENU_ATTRIBUTE_LABEL, "s", &label);
        g_menu_model_get_item_attribute(model, i, G_MENU_ATTRIBUTE_ACTION, "s", &action);
        if (label) out.emplace_back(label, action ? action + 4 : "");  // the action without "app."
        g_free(label);
        g_free(action);
        for (const char* link : {G_MENU_LINK_SUBMENU, G_MENU_LINK_SECTION}) {
            if (GMenuModel* child = g_menu_model_get_item_link(model, i, link)) {
                collectMenu(child, out);
                g_object_unref(child);
            }
        }
    }
}

void makeTemporaryHome() {
    gtk::OwnedGString made(g_dir_make_tmp("pelko-e2e-XXXXXX", nullptr));
    if (!made.get()) throw std::runtime_error("cannot make a temporary home");
    theHome = made.get();
    // clang-format off
    const std::pair<const char*, const char*> folders[] = {{"HOME", ""}, {"XDG_CONFIG_HOME", "/config"},
        {"XDG_DATA_HOME", "/data"}, {"XDG_CACHE_HOME", "/cache"}, {"XDG_RUNTIME_DIR", "/runtime"}};
    // clang-format on
    for (const auto& [variable, folder] : folders) {
        g_mkdir_with_parents((theHome + folder).c_str(), 0700);
        g_setenv(variable, (theHome + folder).c_str(), TRUE);
    }
    // No session bus until World makes its own: none may be autolaunched and left behind.
    g_setenv("DBUS_SESSION_BUS_ADDRESS", ("unix:path=" + theHome + "/no-session-bus").c_str(), TRUE);
    // Nothing written after the folders are gone, and no accessibility bus.
    g_setenv("MESA_SHADER_CACHE_DISABLE", "true", TRUE);
    g_setenv("NO_AT_BRIDGE", "1", TRUE);
    g_setenv("GTK_A11Y", "none", TRUE);
}

int secondLaunch() {
    GApplication* application = g_application_new(gtk::kApplicationId, G_APPLICATION_DEFAULT_FLAGS);
    const int status = g_application_run(application, 0, nullptr);
    g_object_unref(application);
    return status;
}

bool cookieRun(bool set, const std::string& value) {
    TestApp app;
    if (!app.launch()) return false;
    if (set) return app.load("/cookie?set=" + value) && app.waitFor("document.cookie", "pelko_demo=" + value);
    // The service writes what it saw into the page.
    return app.load("/cookie") && app.eval("document.getElementById('server-cookie').textContent") == value;
}

}  // namespace

bool runUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    // Wakes the loop often enough to see what other threads change.
    const guint ticker = g_timeout_add(10, G_SOURCE_FUNC(+[](gpointer) { return G_SOURCE_CONTINUE; }), nullptr);
    bool held = done();
    while (!held && std::chrono::steady_clock::now() < deadline) {
        g_main_context_iteration(nullptr, TRUE);
        held = done();
    }
    g_source_remove(ticker);
    return held;
}

std::string fileContents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::vector<std::int16_t> wavSamples(const std::string& path) {
    const std::string bytes = fileContents(path);
    const std::size_t data = bytes.find("data");
    std::vector<std::int16_t> samples;
    for (std::size_t at = data + 8; data != std::string::npos && at + 1 < bytes.size(); at += 2)
        samples.push_back(static_cast<std::int16_t>(static_cast<unsigned char>(bytes[at]) |
                                                    static_cast<unsigned char>(bytes[at + 1]) << 8));
    return samples;
}

const std::string& temporaryHome() { return theHome; }

std::set<std::string> threadIds() {
    std::set<std::string> ids;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/task"))
        ids.insert(entry.path().filename());
    return ids;
}

bool noNewThreadSince(const std::set<std::string>& before) { return std::ranges::includes(before, threadIds()); }

int threadsNamed(const std::string& name) {
    int count = 0;
    for (const auto& id : threadIds()) {
        std::ifstream comm("/proc/self/task/" + id + "/comm");
        std::string threadName;
        count += std::getline(comm, threadName) && threadName == name;
    }
    return count;
}

World& World::get() {
    if (!theWorld) theWorld = new World();
    return *theWorld;
}

void World::shutdown() { delete std::exchange(theWorld, nullptr); }

World::World() : bus_(g_test_dbus_new(G_TEST_DBUS_NONE)) {
    // The bus starts no services and ends with this process, however that
    // ends. Bringing it up forgets the display, which the tests need.
    const std::string display = g_getenv("DISPLAY") ? g_getenv("DISPLAY") : "";
    g_test_dbus_up(bus_);
    g_setenv("DISPLAY", display.c_str(), TRUE);
    application = gtk_application_new(gtk::kApplicationId, G_APPLICATION_DEFAULT_FLAGS);
    GError* error = nullptr;
    if (!g_application_register(G_APPLICATION(application), nullptr, &error) ||
        g_application_get_is_remote(G_APPLICATION(application))) {
        const std::string why = error ? error->message : "another instance has it";
        g_clear_error(&error);
        throw std::runtime_error("cannot own the application id on the test bus: " + why);
    }
    platform =
        std::make_unique<gtk::Platform>(application, gtk::DataDirectories::forCurrentUser(), build::kVersion,
                                             gtk::SpeechModel{.grammar = PELKO_VOICE_GRAMMAR});
    demo = std::make_unique<demo::DemoService>(build::kVersion);  // no update offered unless a test publishes one
    if (!demo->start(0)) throw std::runtime_error("cannot start the demo service");
}

World::~World() {
    demo.reset();
    platform.reset();
    g_object_unref(application);
    // Stopped, neither brought down nor released: both wait until every user
    // of the bus connection has let it go.
    g_test_dbus_stop(bus_);
}

std::string World::origin() const { return "http://127.0.0.1:" + std::to_string(demo->port()); }

int runHelperProcess(const std::vector<std::string>& arguments, const std::string& profile) {
    GSubprocessLauncher* launcher = g_subprocess_launcher_new(G_SUBPROCESS_FLAGS_NONE);
    for (const std::string kind : {"CONFIG", "DATA", "CACHE"}) {
        if (profile.empty()) break;
        g_subprocess_launcher_setenv(launcher, ("XDG_" + kind + "_HOME").c_str(), (profile + "/" + kind).c_str(), TRUE);
    }
    std::vector<const gchar*> argv{"/proc/self/exe"};
    for (const auto& argument : arguments) argv.push_back(argument.c_str());
    argv.push_back(nullptr);
    GSubprocess* helper = g_subprocess_launcher_spawnv(launcher, argv.data(), nullptr);
    g_object_unref(launcher);
    if (!helper) return -1;
    // The main loop runs meanwhile: the helper may be talking to this process's application.
    bool exited = false;
    g_subprocess_wait_async(
        helper, nullptr, [](GObject*, GAsyncResult*, gpointer done) { *static_cast<bool*>(done) = true; }, &exited);
    if (!runUntil([&] { return exited; }, 60s)) g_subprocess_force_exit(helper);
    runUntil([&] { return exited; });
    const int status = g_subprocess_get_if_exited(helper) ? g_subprocess_get_exit_status(helper) : -1;
    g_object_unref(helper);
    return status;
}

TestApp::TestApp() {
    World& world = World::get();
    Ports ports = world.platform->ports();
    ports.alerts = &alerts_;
    ports.workspace = &workspace_;
    ports.openPanels = &openPanels_;
    delegate_ = std::make_shared<test::RecordingAppDelegate>(
        ports, std::get<AppConfig>(makeAppConfig(world.platform->urls(), world.origin(), HostPlatform::linux, true,
                                                 build::kUpdateManifest)));
    world.platform->downloads().setDelegate(delegate_);
    lifecycle_ =
        std::make_unique<gtk::ApplicationLifecycle>(world.application, world.platform->application(), *delegate_);
}

TestApp::~TestApp() {
    if (WebKitWebView* view = webView()) g_signal_handlers_disconnect_by_data(view, &loadsEnded_);
    lifecycle_.reset();
    // The menus and the key monitors point at this controller: they go first.
    World::get().platform->application().setMainMenu(nullptr);
    delegate_.reset();
    // GTK finishes destroying the window before the next test.
    while (g_main_context_iteration(nullptr, FALSE)) continue;
}

bool TestApp::launch() {
    g_application_activate(G_APPLICATION(World::get().application));
    if (!webView()) return false;
    if (const auto& voice = delegate_->voice()) {
        voice->onStatusChange = [this, shown = std::move(voice->onStatusChange)](const std::string& status) {
            voiceStatuses_.push_back(status);
            if (shown) shown(status);
        };
    }
    g_signal_connect(webView(), "load-changed", G_CALLBACK(+[](WebKitWebView*, WebKitLoadEvent event, gpointer ended) {
                         if (event == WEBKIT_LOAD_FINISHED) ++*static_cast<int*>(ended);
                     }),
                     &loadsEnded_);
    return runUntil([&] { return loadsEnded_ > 0 && url() == World::get().origin() + "/"; });
}

GtkWindow* TestApp::window() const {
    auto* port = dynamic_cast<gtk::WindowPort*>(delegate_->window());
    return port ? port->gtkWindow() : nullptr;
}

WebKitWebView* TestApp::webView() const {
    auto* port = dynamic_cast<gtk::WebViewPort*>(delegate_->webView().get());
    return port ? port->webKitView() : nullptr;
}

std::string TestApp::url() const {
    const char* uri = webView() ? webkit_web_view_get_uri(webView()) : nullptr;
    return uri ? uri : "";
}

bool TestApp::loads(const std::function<void()>& action, const std::string& path) {
    return loadsURL(action, World::get().origin() + path);
}

bool TestApp::loadsURL(const std::function<void()>& action, const std::string& expected) {
    const int before = loadsEnded_;
    action();
    return runUntil([&] { return loadsEnded_ > before && url() == expected; });
}

bool TestApp::load(const std::string& path) {
    return loads([&] { webkit_web_view_load_uri(webView(), (World::get().origin() + path).c_str()); }, path);
}

nlohmann::json TestApp::eval(const std::string& script) {
    // The answer may come after this gave up: it holds its outcome, not this.
    auto outcome = std::make_shared<std::optional<nlohmann::json>>();
    delegate_->webView()->evaluateJavaScript(script, [outcome, script](const auto& value, const auto& error) {
        if (error) ADD_FAILURE() << error->message << " in\n" << script;
        *outcome = value.value_or(nullptr);
    });
    if (!runUntil([&] { return outcome->has_value(); })) ADD_FAILURE() << "no answer to\n" << script;
    return outcome->value_or(nullptr);
}

bool TestApp::waitFor(const std::string& script, const nlohmann::json& expected) {
    return runUntil([&] { return eval(script) == expected; }, 10s);
}

std::vector<std::pair<std::string, std::string>> TestApp::menuItems() const {
    std::vector<std::pair<std::string, std::string>> items;
    if (GMenuModel* bar = gtk_application_get_menubar(World::get().application)) collectMenu(bar, items);
    return items;
}

void TestApp::choose(const std::string& label) const {
    for (const auto& [itemLabel, action] : menuItems()) {
        if (itemLabel == label && !action.empty())
            return g_action_group_activate_action(G_ACTION_GROUP(World::get().application), action.c_str(), nullptr);
    }
    ADD_FAILURE() << "no menu item " << label;
}

}  // namespace pelko::e2e

int main(int argc, char** argv) {
    using namespace pelko::e2e;
    const std::string role = argc > 1 ? argv[1] : "";
    if (role == "--helper=second-launch") return secondLaunch();
    if (role.starts_with("--helper=cookie-")) {
        const bool ok = cookieRun(role.starts_with("--helper=cookie-set:"), role.substr(role.find(':') + 1));
        World::shutdown();
        return ok ? 0 : 1;
    }
    makeTemporaryHome();
    pelko::gtk::preferSoftwareDrawingWithoutGpu();
    ::testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    World::shutdown();
    std::error_code ignored;
    std::filesystem::remove_all(theHome, ignored);
    return result;
}
