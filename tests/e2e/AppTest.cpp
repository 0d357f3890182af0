// The app by the paths a user takes: the launch, the window's size from one
// launch to the next, closing and launching again, a restart, the menu bar
// and real key presses through the X server (XTest).
#include <gtest/gtest.h>
#include <gtk/gtk.h>
#include <webkit/webkit.h>

#include "DemoService.h"
#include "Harness.h"
#include "app/BuildConfig.h"
#include "app/DesktopConventions.h"
#include "gtk/app/Platform.h"
#include "voice/VoiceStatusTexts.h"

#include <ranges>

// Last: Xlib's macros (None, True, Status...) would break the headers above.
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <gdk/x11/gdkx.h>

namespace pelko::e2e {

TEST(Launch, ShowsTheHomePageWithTheFixedUserAgent) {
    TestApp app;
    ASSERT_TRUE(app.launch());
    EXPECT_TRUE(gtk_widget_get_visible(GTK_WIDGET(app.window())));
    app.eval("fetch('/ua').then(r => r.json()).then(j => { window.__ua = j.userAgent; }); 0");
    EXPECT_TRUE(app.waitFor("window.__ua || null", kUserAgent));
    // The page, what it loads and what its scripts fetch; the update check is the app's own request.
    for (const auto& request : World::get().demo->requests())
        if (request.path != build::kUpdateManifest) {
            EXPECT_EQ(request.userAgent, kUserAgent) << request.path;
        }
}

TEST(Launch, WithTheServiceDownShowsWhyAndTheChatOnceItAnswersAgain) {
    demo::DemoService& demo = *World::get().demo;
    const int port = demo.port();
    demo.stop();
    // Whatever happens below, the other tests get their service back.
    const std::unique_ptr<demo::DemoService, void (*)(demo::DemoService*)> restart(
        &demo, [](demo::DemoService* service) { service->start(service->port()); });
    TestApp app;
    ASSERT_TRUE(app.launch());
    ASSERT_TRUE(app.waitFor("document.getElementById('try-again') !== null", true));
    EXPECT_EQ(app.eval("document.querySelector('h1').textContent"), "Pelko isn\u2019t answering");
    EXPECT_EQ(app.eval("location.origin"), "null");  // not the service's: no bridge, no cookies
    EXPECT_EQ(std::string(gtk_window_get_title(app.window())), "Pelko");

    ASSERT_TRUE(demo.start(port));
    // No key pressed: the page tries again by itself.
    EXPECT_TRUE(app.waitFor("document.getElementById('composer-input') !== null", true));
    EXPECT_EQ(app.url(), World::get().origin() + "/");
    EXPECT_FALSE(webkit_web_view_can_go_back(app.webView()));  // nothing to go back to: the page left no entry
}

TEST(Launch, TheWindowKeepsTheSizeTheUserGaveIt) {
    constexpr const char* kFrame = "Window PelkoMainWindow";
    gtk::SettingsFile& settings = World::get().platform->settings();
    const auto contentIs = [](TestApp& app, int width, int height) {
        GtkWidget* view = GTK_WIDGET(app.webView());
        return runUntil([&] { return gtk_widget_get_width(view) == width && gtk_widget_get_height(view) == height; });
    };
    settings.setInteger(kFrame, "width", 1280);
    settings.setInteger(kFrame, "height", 860);
    {
        TestApp app;
        ASSERT_TRUE(app.launch());
        ASSERT_TRUE(contentIs(app, 1280, 860));
        int width = 0;
        int height = 0;
        gtk_window_get_default_size(app.window(), &width, &height);
        // What the window manager does when the user drags the window's corner.
        gtk_window_set_default_size(app.window(), 1100, height - 100);
        ASSERT_TRUE(runUntil(
            [&] { return settings.integer(kFrame, "width") == 1100 && settings.integer(kFrame, "height") == 760; }));
    }
    TestApp app;
    ASSERT_TRUE(app.launch());
    EXPECT_TRUE(contentIs(app, 1100, 760));
}

TEST(Lifecycle, ASecondLaunchBringsBackTheRunningWindowWithItsPage) {
    TestApp app;
    ASSERT_TRUE(app.launch());
    ASSERT_TRUE(app.load("/cookie"));
    app.eval("window.__state = 'kept'; 0");
    GtkWindow* window = app.window();
    // Out of sight (closing it quits on Linux).
    app.delegate().window()->orderOut();
    ASSERT_TRUE(runUntil([&] { return !gtk_widget_get_visible(GTK_WIDGET(window)); }));

    // A second launch of the program hands its activation to this instance.
    EXPECT_EQ(runHelperProcess({"--helper=second-launch"}, {}), 0);
    ASSERT_TRUE(runUntil([&] { return gtk_widget_get_visible(GTK_WIDGET(window)); }));
    EXPECT_EQ(app.window(), window);
    EXPECT_EQ(app.eval("window.__state"), "kept");
}

TEST(Lifecycle, ACookieSurvivesARestart) {
    const std::string profile = temporaryHome() + "/restart";
    ASSERT_EQ(runHelperProcess({"--helper=cookie-set:remembered42"}, profile), 0);
    EXPECT_EQ(runHelperProcess({"--helper=cookie-check:remembered42"}, profile), 0);
    // It lives in the data folders: a run over other ones does not see it.
    EXPECT_EQ(runHelperProcess({"--helper=cookie-check:remembered42"}, profile + "/other"), 1);
}

TEST(MenuBar, RendersAndItsItemsAct) {
    TestApp app;
    ASSERT_TRUE(app.launch());
    std::vector<std::string> menus;
    std::string speakReplies;
    for (const auto& [label, action] : app.menuItems()) {
        if (action.empty()) menus.push_back(label);
        if (label == "Speak Replies Automatically") speakReplies = action;
    }
    EXPECT_EQ(menus, (std::vector<std::string>{"Pelko", "Edit", "Voice", "View", "Window"}));

    // Editing commands act on the page's focused field.
    const std::string field = "document.getElementById('composer-input')";
    app.eval(field + ".value = 'through the menu'; " + field + ".focus(); 0");
    app.choose("Select All");
    app.choose("Cut");
    EXPECT_TRUE(app.waitFor(field + ".value", ""));
    app.choose("Paste");
    EXPECT_TRUE(app.waitFor(field + ".value", "through the menu"));

    // A check mark, on at first, goes off.
    app.choose("Speak Replies Automatically");
    GVariant* checked = g_action_group_get_action_state(G_ACTION_GROUP(World::get().application), speakReplies.c_str());
    ASSERT_TRUE(checked);
    EXPECT_FALSE(g_variant_get_boolean(checked));
    g_variant_unref(checked);
    app.choose("Speak Replies Automatically");

    // The View menu drives the web view.
    ASSERT_TRUE(app.load("/cookie"));
    app.eval("window.__beforeReload = true; 0");
    EXPECT_TRUE(app.loads([&] { app.choose("Reload"); }, "/cookie"));
    EXPECT_EQ(app.eval("window.__beforeReload || false"), false);
    EXPECT_TRUE(app.loads([&] { app.choose("Back"); }, "/"));
    EXPECT_TRUE(app.loads([&] { app.choose("Forward"); }, "/cookie"));
    EXPECT_TRUE(app.loads([&] { app.choose("Home"); }, "/"));

    app.choose("Close");
    EXPECT_TRUE(runUntil([&] { return !gtk_widget_get_visible(GTK_WIDGET(app.window())); }));
}

// Launches the app and gives its window the keyboard, as a click on it would.
[[nodiscard]] static bool launchWithTheKeyboard(TestApp& app, Display* display) {
    if (!app.launch() || !runUntil([&] { return gtk_widget_get_mapped(GTK_WIDGET(app.window())); })) return false;
    XSetInputFocus(display, gdk_x11_surface_get_xid(gtk_native_get_surface(GTK_NATIVE(app.window()))), RevertToParent,
                   CurrentTime);
    return runUntil([&] { return gtk_window_is_active(app.window()); });
}

// Presses the keys (X keysym names) in order and releases them in reverse.
static void chord(Display* display, std::initializer_list<const char*> keys) {
    for (const char* key : keys) XTestFakeKeyEvent(display, XKeysymToKeycode(display, XStringToKeysym(key)), True, 0);
    for (auto key = std::rbegin(keys); key != std::rend(keys); ++key)
        XTestFakeKeyEvent(display, XKeysymToKeycode(display, XStringToKeysym(*key)), False, 0);
    XSync(display, False);
}

TEST(Keyboard, ControlShiftSpaceTogglesPushToTalkAndMenuKeysActBeforeThePage) {
    const std::unique_ptr<Display, int (*)(Display*)> display(XOpenDisplay(nullptr), XCloseDisplay);
    ASSERT_TRUE(display) << "no X display";
    // Added before the app's own, so it sees every key-down first.
    std::vector<KeyEvent> seen;
    const auto monitor = World::get().platform->application().addLocalMonitorForKeyDownEvents([&](const KeyEvent& key) {
        seen.push_back(key);
        return true;
    });
    TestApp app;
    ASSERT_TRUE(launchWithTheKeyboard(app, display.get()));
    app.eval("window.__keys = []; addEventListener('keydown', e => __keys.push(e.code), true); 0");
    World::get().platform->setAudioFile(std::string(PELKO_VOICE_DIR) + "/silence.wav");

    chord(display.get(), {"Control_L", "Shift_L", "space"});
    // The page sees F8: every key before it has been handled.
    chord(display.get(), {"F8"});
    ASSERT_TRUE(app.waitFor("__keys.includes('F8')", true));
    EXPECT_EQ(app.eval("__keys.filter(k => k === 'Space')"), nlohmann::json::array());
    // Each key-down once, with the platform's key code and flags.
    EXPECT_EQ(std::ranges::count(seen, kKeyCodeSpace, &KeyEvent::keyCode), 1);
    const auto space = std::ranges::find(seen, kKeyCodeSpace, &KeyEvent::keyCode);
    EXPECT_TRUE(space != seen.end() && space->modifierFlags == (kModifierControl | kModifierShift));
    // The press started a recording (of a quiet room); a second one ends it.
    EXPECT_EQ(std::ranges::count(app.menuItems() | std::views::keys,
                                 "Status: " + shownVoiceStatus(voice_status::kListeningStarted, HostPlatform::linux)),
              1);
    chord(display.get(), {"Control_L", "Shift_L", "space"});
    EXPECT_TRUE(runUntil([&] { return app.voiceStatuses().back() == voice_status::kReady; }));
    World::get().platform->setAudioFile(std::nullopt);

    // Back and Forward as Linux browsers have them: Alt+Left and Alt+Right,
    // the mouse's back and forward buttons (X's 8 and 9); one step each.
    ASSERT_TRUE(app.load("/cookie"));
    ASSERT_TRUE(app.load("/playground.html"));
    EXPECT_TRUE(app.loads([&] { chord(display.get(), {"Alt_L", "Left"}); }, "/cookie"));
    EXPECT_TRUE(app.loads([&] { chord(display.get(), {"Alt_L", "Right"}); }, "/playground.html"));
    const auto button = [&](unsigned number) {
        XTestFakeButtonEvent(display.get(), number, True, 0);
        XTestFakeButtonEvent(display.get(), number, False, 0);
        XSync(display.get(), False);
    };
    EXPECT_TRUE(app.loads([&] { button(8); }, "/cookie"));
    EXPECT_TRUE(app.loads([&] { button(9); }, "/playground.html"));

    app.eval("window.__keys = []; addEventListener('keydown', e => __keys.push(e.code), true); 0");
    chord(display.get(), {"Control_L", "w"});
    EXPECT_TRUE(runUntil([&] { return !gtk_widget_get_visible(GTK_WIDGET(app.window())); }));
    EXPECT_EQ(app.eval("__keys.filter(k => k === 'KeyW')"), nlohmann::json::array());
}

}  // namespace pelko::e2e

namespace pelko::e2e {

// The mapped label with this text under `root`, or null.
static GtkWidget* mappedLabel(GtkWidget* root, const std::string& text) {
    if (GTK_IS_LABEL(root) && gtk_widget_get_mapped(root) && text == gtk_label_get_text(GTK_LABEL(root))) return root;
    for (GtkWidget* child = gtk_widget_get_first_child(root); child; child = gtk_widget_get_next_sibling(child)) {
        if (GtkWidget* found = mappedLabel(child, text)) return found;
    }
    return nullptr;
}

// Where the middle of `widget` is on the screen, or none.
static std::optional<std::pair<int, int>> onScreen(Display* display, GtkWidget* widget) {
    GtkNative* native = gtk_widget_get_native(widget);
    graphene_rect_t bounds;
    if (!native || !gtk_widget_compute_bounds(widget, GTK_WIDGET(native), &bounds)) return std::nullopt;
    double surfaceX = 0;
    double surfaceY = 0;
    gtk_native_get_surface_transform(native, &surfaceX, &surfaceY);
    int x = 0;
    int y = 0;
    ::Window child;
    XTranslateCoordinates(display, gdk_x11_surface_get_xid(gtk_native_get_surface(native)), DefaultRootWindow(display),
                          static_cast<int>(surfaceX + bounds.origin.x + bounds.size.width / 2),
                          static_cast<int>(surfaceY + bounds.origin.y + bounds.size.height / 2), &x, &y, &child);
    return std::pair{x, y};
}

// A click of the mouse's first button on the label `text` of the window or
// its menus, once it shows and has stopped moving (a menu is placed after it maps).
[[nodiscard]] static bool click(Display* display, GtkWindow* window, const std::string& text) {
    std::optional<std::pair<int, int>> point;
    std::optional<std::pair<int, int>> previous;
    const bool settled = runUntil(
        [&] {
            GtkWidget* label = mappedLabel(GTK_WIDGET(window), text);
            previous = std::exchange(point, label ? onScreen(display, label) : std::nullopt);
            runUntil([] { return false; }, 50ms);
            return point && point == previous;
        });
    if (!settled) return false;
    XTestFakeMotionEvent(display, -1, point->first, point->second, 0);
    XTestFakeButtonEvent(display, 1, True, 0);
    XTestFakeButtonEvent(display, 1, False, 0);
    XSync(display, False);
    return true;
}

static void type(Display* display, const std::string& text) {
    for (const char c : text) chord(display, {c == ' ' ? "space" : std::string(1, c).c_str()});
}

static std::string clipboardText() {
    std::optional<std::string> text;
    gdk_clipboard_read_text_async(
        gdk_display_get_clipboard(gdk_display_get_default()), nullptr,
        [](GObject* clipboard, GAsyncResult* result, gpointer data) {
            gtk::OwnedGString read(gdk_clipboard_read_text_finish(GDK_CLIPBOARD(clipboard), result, nullptr));
            *static_cast<std::optional<std::string>*>(data) = read ? read.get() : "";
        },
        &text);
    runUntil([&] { return text.has_value(); });
    return text.value_or("");
}

TEST(Keyboard, TheEditMenuByMouseActsOnThePageAndKeysGoToThePageWhenAMenuCloses) {
    const std::unique_ptr<Display, int (*)(Display*)> display(XOpenDisplay(nullptr), XCloseDisplay);
    ASSERT_TRUE(display) << "no X display";
    TestApp app;
    ASSERT_TRUE(launchWithTheKeyboard(app, display.get()));
    const std::string composer = "document.getElementById('composer-input')";
    app.eval(composer + ".focus(); 0");
    type(display.get(), "hello");
    ASSERT_TRUE(app.waitFor(composer + ".value", "hello"));

    // A menu opened and closed without choosing anything.
    ASSERT_TRUE(click(display.get(), app.window(), "Edit"));
    ASSERT_TRUE(runUntil([&] { return mappedLabel(GTK_WIDGET(app.window()), "Select All") != nullptr; }));
    chord(display.get(), {"Escape"});
    ASSERT_TRUE(runUntil([&] { return mappedLabel(GTK_WIDGET(app.window()), "Select All") == nullptr; }));
    type(display.get(), " world");
    EXPECT_TRUE(app.waitFor(composer + ".value", "hello world"));

    // Chosen with the mouse, the editing commands act on the page's field.
    ASSERT_TRUE(click(display.get(), app.window(), "Edit"));
    ASSERT_TRUE(click(display.get(), app.window(), "Select All"));
    EXPECT_TRUE(app.waitFor(composer + ".selectionEnd - " + composer + ".selectionStart", 11));
    ASSERT_TRUE(click(display.get(), app.window(), "Edit"));
    ASSERT_TRUE(click(display.get(), app.window(), "Copy"));
    EXPECT_TRUE(runUntil([] { return clipboardText() == "hello world"; }, 5s));
    // And the keyboard is back in the field.
    chord(display.get(), {"End"});
    type(display.get(), " again");
    EXPECT_TRUE(app.waitFor(composer + ".value", "hello world again"));
}

}  // namespace pelko::e2e
