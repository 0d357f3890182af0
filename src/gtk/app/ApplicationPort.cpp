#include "gtk/app/ApplicationPort.h"

#include <gtk/gtk.h>
#include <webkit/webkit.h>

#include <optional>
#include <vector>

#include "gtk/app/KeyEvents.h"
#include "gtk/app/MenuBar.h"
#include "gtk/app/WindowPort.h"

namespace pelko::gtk {

struct ApplicationPort::KeyDispatch {
    ApplicationPort* port = nullptr;
    struct Monitor {
        unsigned long long id;
        std::shared_ptr<KeyEventMonitor> handler;
    };
    std::vector<Monitor> monitors;
    struct MouseMonitor {
        unsigned long long id;
        std::shared_ptr<OtherMouseDownMonitor> handler;
    };
    std::vector<MouseMonitor> mouseMonitors;
    unsigned long long nextId = 1;
};

namespace {

class MonitorRegistration : public MonitorToken {
public:
    MonitorRegistration(std::weak_ptr<ApplicationPort::KeyDispatch> dispatch, unsigned long long id)
        : dispatch_(std::move(dispatch)), id_(id) {}
    ~MonitorRegistration() override {
        auto dispatch = dispatch_.lock();
        if (!dispatch) return;
        std::erase_if(dispatch->monitors, [this](const auto& monitor) { return monitor.id == id_; });
        std::erase_if(dispatch->mouseMonitors, [this](const auto& monitor) { return monitor.id == id_; });
    }

private:
    std::weak_ptr<ApplicationPort::KeyDispatch> dispatch_;
    unsigned long long id_;
};

// What one window's key controller needs; it lives as long as the controller.
struct WindowKeys {
    std::shared_ptr<ApplicationPort::KeyDispatch> dispatch;
    GtkWindow* window = nullptr;
    KeyDownTracker tracker;
};

gboolean onKeyPressed(GtkEventControllerKey* controller, guint /*keyval*/, guint keycode, GdkModifierType state,
                      gpointer data) {
    auto* keys = static_cast<WindowKeys*>(data);
    GdkEvent* event = gtk_event_controller_get_current_event(GTK_EVENT_CONTROLLER(controller));
    KeyDownTracker::KeyDown keyDown;
    if (!keys->tracker.pressed(event, keycode, keyDown)) return FALSE;

    ApplicationPort::KeyDispatch& dispatch = *keys->dispatch;
    KeyEvent keyEvent;
    keyEvent.window = WindowPort::fromGtkWindow(keys->window);
    keyEvent.modifierFlags = modifierFlagsFromGdk(state);
    keyEvent.keyCode = keyCodeFromHardware(keycode);
    keyEvent.isARepeat = keyDown.isARepeat;
    // A monitor may remove itself (or another) while it runs.
    std::vector<std::shared_ptr<KeyEventMonitor>> monitors;
    for (const auto& monitor : dispatch.monitors) monitors.push_back(monitor.handler);
    for (const auto& monitor : monitors) {
        if (!(*monitor)(keyEvent)) return TRUE;
    }
    if (dispatch.port && event) return dispatch.port->performKeyEquivalent(event, keyDown.isARepeat);
    return FALSE;
}

void onKeyReleased(GtkEventControllerKey* /*controller*/, guint /*keyval*/, guint keycode, GdkModifierType /*state*/,
                   gpointer data) {
    static_cast<WindowKeys*>(data)->tracker.released(keycode);
}

// GDK's mouse buttons as the platform numbers them: the middle button, and
// the back and forward buttons (GDK's 8 and 9); none for the first two.
std::optional<long> otherButtonNumber(guint gdkButton) {
    switch (gdkButton) {
    case GDK_BUTTON_MIDDLE: return 2;
    case 8: return 3;
    case 9: return 4;
    default: return std::nullopt;
    }
}

void onButtonPressed(GtkGestureClick* gesture, int /*presses*/, double /*x*/, double /*y*/, gpointer data) {
    auto* keys = static_cast<WindowKeys*>(data);
    const auto button = otherButtonNumber(gtk_gesture_single_get_current_button(GTK_GESTURE_SINGLE(gesture)));
    if (!button) return;
    OtherMouseDownEvent event;
    event.window = WindowPort::fromGtkWindow(keys->window);
    event.buttonNumber = *button;
    std::vector<std::shared_ptr<OtherMouseDownMonitor>> monitors;
    for (const auto& monitor : keys->dispatch->mouseMonitors) monitors.push_back(monitor.handler);
    for (const auto& monitor : monitors) {
        if (!(*monitor)(event)) {
            // Swallowed: the views never see the press.
            gtk_gesture_set_state(GTK_GESTURE(gesture), GTK_EVENT_SEQUENCE_CLAIMED);
            return;
        }
    }
}

constexpr const char* kWindowKeysKey = "pelko-window-keys";

// Connected with the key controller as its object: it is disconnected when the controller goes.
void onActiveChanged(GtkWindow* window, GParamSpec* /*pspec*/, gpointer controller) {
    if (gtk_window_is_active(window)) return;
    if (auto* keys = static_cast<WindowKeys*>(g_object_get_data(G_OBJECT(controller), kWindowKeysKey))) {
        keys->tracker.reset();
    }
}

WebKitWebView* enclosingWebView(GtkWidget* widget) {
    for (GtkWidget* w = widget; w; w = gtk_widget_get_parent(w)) {
        if (WEBKIT_IS_WEB_VIEW(w)) return WEBKIT_WEB_VIEW(w);
    }
    return nullptr;
}

// Where the editing commands go: a text field of GTK's own that has the
// keyboard, or else the active window's web view, also while one of its
// menus has the keyboard (a command chosen with the mouse).
struct EditingTarget {
    GtkWidget* textField = nullptr;
    WebKitWebView* webView = nullptr;
};

EditingTarget editingTarget(GtkApplication* application) {
    GtkWindow* window = gtk_application_get_active_window(application);
    if (!window || !gtk_widget_get_visible(GTK_WIDGET(window))) return {};
    GtkWidget* focus = gtk_window_get_focus(window);
    if (focus && (GTK_IS_EDITABLE(focus) || GTK_IS_TEXT_VIEW(focus))) return {focus, nullptr};
    if (WebKitWebView* view = enclosingWebView(focus)) return {nullptr, view};
    WindowPort* port = WindowPort::fromGtkWindow(window);
    GtkWidget* content = port ? port->contentWidget() : nullptr;
    return {nullptr, content && WEBKIT_IS_WEB_VIEW(content) ? WEBKIT_WEB_VIEW(content) : nullptr};
}

struct EditingCommand {
    MenuAction action;
    const char* webKitCommand;
    const char* widgetAction;  // the same command on GTK's own text widgets
};

constexpr EditingCommand kEditingCommands[] = {
    {MenuAction::undo, WEBKIT_EDITING_COMMAND_UNDO, "text.undo"},
    {MenuAction::redo, WEBKIT_EDITING_COMMAND_REDO, "text.redo"},
    {MenuAction::cut, WEBKIT_EDITING_COMMAND_CUT, "clipboard.cut"},
    {MenuAction::copy, WEBKIT_EDITING_COMMAND_COPY, "clipboard.copy"},
    {MenuAction::paste, WEBKIT_EDITING_COMMAND_PASTE, "clipboard.paste"},
    {MenuAction::selectAll, WEBKIT_EDITING_COMMAND_SELECT_ALL, "selection.select-all"},
};

}  // namespace

ApplicationPort::ApplicationPort(GtkApplication* application, std::string applicationName, std::string version)
    : application_(application),
      applicationName_(std::move(applicationName)),
      version_(std::move(version)),
      dispatch_(std::make_shared<KeyDispatch>()) {
    dispatch_->port = this;
    menuBar_ = std::make_unique<MenuBar>(
        G_ACTION_MAP(application_), applicationName_, [this](MenuItem& item, bool isARepeat) {
            if (MenuActionTarget* target = item.target()) {
                target->performMenuAction(item.action(), item, isARepeat);
            } else {
                performStandardCommand(item.action());
            }
        });
}

ApplicationPort::~ApplicationPort() {
    dispatch_->port = nullptr;
    // After the main loop ends the application is no longer registered and has no menu bar to drop.
    if (g_application_get_is_registered(G_APPLICATION(application_))) {
        gtk_application_set_menubar(application_, nullptr);
    }
}

void ApplicationPort::activateIgnoringOtherApps() {
    GtkWindow* active = gtk_application_get_active_window(application_);
    if (active && gtk_widget_get_visible(GTK_WIDGET(active))) {
        gtk_window_present(active);
        return;
    }
    for (GList* l = gtk_application_get_windows(application_); l; l = l->next) {
        GtkWindow* window = GTK_WINDOW(l->data);
        if (gtk_widget_get_visible(GTK_WIDGET(window))) {
            gtk_window_present(window);
            return;
        }
    }
}

void ApplicationPort::terminate() {
    // An alert runs a main loop of its own, which would hold the quit until
    // the alert is answered: its window goes first, which answers it as closed.
    std::vector<GtkWindow*> dialogs;
    for (GList* l = gtk_application_get_windows(application_); l; l = l->next) {
        if (!WindowPort::fromGtkWindow(GTK_WINDOW(l->data))) dialogs.push_back(GTK_WINDOW(l->data));
    }
    for (GtkWindow* dialog : dialogs) gtk_window_destroy(dialog);
    g_application_quit(G_APPLICATION(application_));
}

void ApplicationPort::setMainMenu(std::shared_ptr<Menu> menu) {
    menuBar_->render(menu);
    gtk_application_set_menubar(application_, menuBar_->model() ? G_MENU_MODEL(menuBar_->model()) : nullptr);
}

std::unique_ptr<MonitorToken> ApplicationPort::addLocalMonitorForOtherMouseDownEvents(OtherMouseDownMonitor handler) {
    const unsigned long long id = dispatch_->nextId++;
    dispatch_->mouseMonitors.push_back({id, std::make_shared<OtherMouseDownMonitor>(std::move(handler))});
    return std::make_unique<MonitorRegistration>(dispatch_, id);
}

std::unique_ptr<MonitorToken> ApplicationPort::addLocalMonitorForKeyDownEvents(KeyEventMonitor handler) {
    const unsigned long long id = dispatch_->nextId++;
    dispatch_->monitors.push_back({id, std::make_shared<KeyEventMonitor>(std::move(handler))});
    return std::make_unique<MonitorRegistration>(dispatch_, id);
}

void ApplicationPort::attachWindow(WindowPort& window) {
    auto* keys = new WindowKeys{dispatch_, window.gtkWindow(), {}};
    GtkEventController* controller = gtk_event_controller_key_new();
    gtk_event_controller_set_propagation_phase(controller, GTK_PHASE_CAPTURE);
    g_object_set_data_full(G_OBJECT(controller), kWindowKeysKey, keys,
                           [](gpointer data) { delete static_cast<WindowKeys*>(data); });
    g_signal_connect(controller, "key-pressed", G_CALLBACK(onKeyPressed), keys);
    g_signal_connect(controller, "key-released", G_CALLBACK(onKeyReleased), keys);
    g_signal_connect_object(window.gtkWindow(), "notify::is-active", G_CALLBACK(onActiveChanged), controller,
                            G_CONNECT_DEFAULT);
    gtk_widget_add_controller(GTK_WIDGET(window.gtkWindow()), controller);

    // Presses of the other mouse buttons, before the views see them. Kept by
    // the key controller's data, which lives as long as the window.
    GtkGesture* buttons = gtk_gesture_click_new();
    gtk_gesture_single_set_button(GTK_GESTURE_SINGLE(buttons), 0);
    gtk_event_controller_set_propagation_phase(GTK_EVENT_CONTROLLER(buttons), GTK_PHASE_CAPTURE);
    g_signal_connect(buttons, "pressed", G_CALLBACK(onButtonPressed), keys);
    gtk_widget_add_controller(GTK_WIDGET(window.gtkWindow()), GTK_EVENT_CONTROLLER(buttons));
}

bool ApplicationPort::performKeyEquivalent(GdkEvent* event, bool isARepeat) {
    return menuBar_->performKeyEquivalent(event, isARepeat);
}

namespace {

// A selectable label selects its whole text when it takes the keyboard on
// showing; an About panel opens with nothing selected.
void clearSelections(GtkWidget* widget) {
    if (GTK_IS_LABEL(widget) && gtk_label_get_selectable(GTK_LABEL(widget))) {
        gtk_label_select_region(GTK_LABEL(widget), 0, 0);
    }
    for (GtkWidget* child = gtk_widget_get_first_child(widget); child; child = gtk_widget_get_next_sibling(child)) {
        clearSelections(child);
    }
}

}  // namespace

void ApplicationPort::showAboutPanel(GtkWindow* parent) {
    // One panel, brought forward again while it is open.
    if (aboutPanel_) {
        gtk_window_present(GTK_WINDOW(aboutPanel_));
        return;
    }
    GtkWidget* panel = gtk_about_dialog_new();
    aboutPanel_ = panel;
    g_object_add_weak_pointer(G_OBJECT(panel), reinterpret_cast<gpointer*>(&aboutPanel_));
    GtkAboutDialog* about = GTK_ABOUT_DIALOG(panel);
    gtk_about_dialog_set_program_name(about, applicationName_.c_str());
    gtk_about_dialog_set_version(about, version_.c_str());
    gtk_about_dialog_set_comments(about, "A desktop shell for the Pelko chat service");
    // The icon compiled into the program, under the application's id.
    gtk_about_dialog_set_logo_icon_name(about, g_application_get_application_id(G_APPLICATION(application_)));
    if (parent) gtk_window_set_transient_for(GTK_WINDOW(panel), parent);
    gtk_window_set_destroy_with_parent(GTK_WINDOW(panel), TRUE);
    gtk_window_present(GTK_WINDOW(panel));
    gtk_window_set_focus(GTK_WINDOW(panel), nullptr);
    clearSelections(panel);
}

void ApplicationPort::performStandardCommand(MenuAction action) {
    GtkWindow* active = gtk_application_get_active_window(application_);
    const bool activeVisible = active && gtk_widget_get_visible(GTK_WIDGET(active));
    switch (action) {
    case MenuAction::orderFrontStandardAboutPanel: showAboutPanel(activeVisible ? active : nullptr); return;
    case MenuAction::hide:
        for (GList* l = gtk_application_get_windows(application_); l; l = l->next) {
            if (gtk_widget_get_visible(GTK_WIDGET(l->data))) gtk_window_minimize(GTK_WINDOW(l->data));
        }
        return;
    case MenuAction::terminate: terminate(); return;
    case MenuAction::performMiniaturize:
        if (activeVisible) gtk_window_minimize(active);
        return;
    case MenuAction::performClose:
        // The same path as the window's close button: the delegate decides.
        if (activeVisible) gtk_window_close(active);
        return;
    default: break;
    }
    for (const auto& command : kEditingCommands) {
        if (command.action != action) continue;
        const EditingTarget target = editingTarget(application_);
        if (target.textField) gtk_widget_activate_action(target.textField, command.widgetAction, nullptr);
        if (target.webView) {
            // A command chosen in a menu acts on the page the menu took the keyboard from.
            gtk_widget_grab_focus(GTK_WIDGET(target.webView));
            webkit_web_view_execute_editing_command(target.webView, command.webKitCommand);
        }
        return;
    }
}

}  // namespace pelko::gtk
