#include "gtk/app/WindowPort.h"

#include <gtk/gtk.h>

#include "gtk/app/StartupTrace.h"
#include "gtk/system/SettingsFile.h"
#include "gtk/web/WebViewPort.h"

namespace pelko::gtk {

namespace {

constexpr const char* kPortKey = "pelko-window-port";
// Larger than any screen; a saved size beyond it is not a size anyone chose.
constexpr int kLargestContentSide = 16384;
constexpr guint kSaveDelayMs = 400;

std::string frameGroup(const std::string& autosaveName) { return "Window " + autosaveName; }

int rounded(double value) { return static_cast<int>(value + 0.5); }

}  // namespace

WindowPort::WindowPort(GtkApplication* application, SettingsFile& settings, Rect contentRect,
                             unsigned styleMask)
    : application_(application), settings_(settings), contentSize_{contentRect.width, contentRect.height} {
    window_ = GTK_WINDOW(gtk_window_new());
    g_object_ref_sink(window_);
    g_object_set_data(G_OBJECT(window_), kPortKey, this);
    gtk_window_set_decorated(window_, (styleMask & kWindowStyleTitled) != 0);
    gtk_window_set_deletable(window_, (styleMask & kWindowStyleClosable) != 0);
    gtk_window_set_resizable(window_, (styleMask & kWindowStyleResizable) != 0);
    gtk_window_set_hide_on_close(window_, FALSE);
    if (application_) gtk_window_set_application(window_, application_);

    box_ = gtk_box_new(GTK_ORIENTATION_VERTICAL, 0);
    menuBar_ = GTK_WIDGET(g_object_new(GTK_TYPE_POPOVER_MENU_BAR, nullptr));
    gtk_widget_set_visible(menuBar_, FALSE);
    gtk_box_append(GTK_BOX(box_), menuBar_);
    gtk_window_set_child(window_, box_);

    g_signal_connect(window_, "close-request", G_CALLBACK(&WindowPort::onCloseRequest), this);
    g_signal_connect(window_, "notify::default-width", G_CALLBACK(&WindowPort::onDefaultSizeChanged), this);
    g_signal_connect(window_, "notify::default-height", G_CALLBACK(&WindowPort::onDefaultSizeChanged), this);
    g_signal_connect(window_, "notify::focus-widget", G_CALLBACK(&WindowPort::onFocusWidgetChanged), this);
    if (application_) {
        menubarHandler_ = g_signal_connect(application_, "notify::menubar",
                                           G_CALLBACK(&WindowPort::onMenubarChanged), this);
    }
    updateMenuBar();
    applyContentSize();
}

WindowPort::~WindowPort() {
    if (menuFocusSource_) g_source_remove(menuFocusSource_);
    if (saveSource_) {
        g_source_remove(saveSource_);
        saveSource_ = 0;
        saveFrame();
    }
    if (menubarHandler_) g_signal_handler_disconnect(application_, menubarHandler_);
    g_signal_handlers_disconnect_by_data(window_, this);
    g_object_set_data(G_OBJECT(window_), kPortKey, nullptr);
    gtk_window_destroy(window_);
    g_object_unref(window_);
}

WindowPort* WindowPort::fromGtkWindow(GtkWindow* window) {
    if (!window) return nullptr;
    return static_cast<WindowPort*>(g_object_get_data(G_OBJECT(window), kPortKey));
}

void WindowPort::setTitle(const std::string& title) { gtk_window_set_title(window_, title.c_str()); }

std::string WindowPort::title() const {
    const char* title = gtk_window_get_title(window_);
    return title ? title : "";
}

void WindowPort::setFrameAutosaveName(const std::string& name) {
    autosaveName_ = name;
    if (name.empty()) return;
    const auto width = settings_.integer(frameGroup(name), "width");
    const auto height = settings_.integer(frameGroup(name), "height");
    // A saved size that is missing, garbled or absurd leaves the size as it is.
    if (!width || !height || *width < 1 || *height < 1 || *width > kLargestContentSide ||
        *height > kLargestContentSide)
        return;
    contentSize_ = Size{static_cast<double>(*width), static_cast<double>(*height)};
    applyContentSize();
}

void WindowPort::setContentView(WebView& view) {
    auto* port = dynamic_cast<WebViewPort*>(&view);
    if (!port) return;
    if (content_) gtk_box_remove(GTK_BOX(box_), content_);
    content_ = port->widget();
    gtk_widget_set_vexpand(content_, TRUE);
    gtk_widget_set_hexpand(content_, TRUE);
    gtk_box_append(GTK_BOX(box_), content_);
    gtk_widget_grab_focus(content_);
}

void WindowPort::setMinSize(Size size) {
    gtk_widget_set_size_request(GTK_WIDGET(window_), rounded(size.width), rounded(size.height));
}

void WindowPort::setDelegate(WindowDelegate* delegate) { delegate_ = delegate; }

void WindowPort::makeKeyAndOrderFront() {
    gtk_window_present(window_);
    if (content_) gtk_widget_grab_focus(content_);
    traceStartup("window-presented");
}

void WindowPort::orderOut() {
    if (saveSource_) {
        g_source_remove(saveSource_);
        saveSource_ = 0;
        saveFrame();
    }
    gtk_widget_set_visible(GTK_WIDGET(window_), FALSE);
}

bool WindowPort::isVisible() const { return gtk_widget_get_visible(GTK_WIDGET(window_)); }

void WindowPort::returnFocusToContent() {
    if (!isVisible()) return;
    gtk_window_present(window_);
    if (content_) gtk_widget_grab_focus(content_);
}

namespace {

// A menu of the bar is open while the keyboard is in one of its popovers
// and that popover shows; a closed one may keep the focus it had.
bool inOpenMenu(GtkWidget* focus) {
    GtkWidget* popover = gtk_widget_get_ancestor(focus, GTK_TYPE_POPOVER);
    return popover && gtk_widget_get_mapped(popover);
}

}  // namespace

void WindowPort::onFocusWidgetChanged(void* /*object*/, void* /*pspec*/, void* data) {
    auto* self = static_cast<WindowPort*>(data);
    GtkWidget* focus = gtk_window_get_focus(self->window_);
    if (!focus || !gtk_widget_is_ancestor(focus, self->menuBar_) || inOpenMenu(focus)) return;
    // A closed menu leaves the keyboard on the bar, where typing goes
    // nowhere. Looked at again once GTK is done moving it: going from one
    // menu to the next passes through the bar.
    // Before the next key event is handled.
    if (!self->menuFocusSource_) {
        self->menuFocusSource_ = g_idle_add_full(G_PRIORITY_HIGH, &WindowPort::focusContentAfterMenu, self, nullptr);
    }
}

int WindowPort::focusContentAfterMenu(void* data) {
    auto* self = static_cast<WindowPort*>(data);
    self->menuFocusSource_ = 0;
    GtkWidget* focus = gtk_window_get_focus(self->window_);
    if (focus && gtk_widget_is_ancestor(focus, self->menuBar_) && !inOpenMenu(focus) && self->content_) {
        gtk_widget_grab_focus(self->content_);
    }
    return G_SOURCE_REMOVE;
}

int WindowPort::onCloseRequest(GtkWindow* /*window*/, void* data) {
    auto* self = static_cast<WindowPort*>(data);
    // Without a delegate the window closes as any other.
    if (!self->delegate_) return FALSE;
    return self->delegate_->windowShouldClose() ? FALSE : TRUE;
}

void WindowPort::onDefaultSizeChanged(void* /*object*/, void* /*pspec*/, void* data) {
    auto* self = static_cast<WindowPort*>(data);
    if (self->applyingSize_) return;
    int width = 0;
    int height = 0;
    gtk_window_get_default_size(self->window_, &width, &height);
    if (width <= 0 || height <= 0) return;
    self->contentSize_ = Size{static_cast<double>(width), static_cast<double>(height - self->menuBarHeight())};
    self->scheduleSave();
}

void WindowPort::onMenubarChanged(void* /*object*/, void* /*pspec*/, void* data) {
    auto* self = static_cast<WindowPort*>(data);
    self->updateMenuBar();
    self->applyContentSize();
}

void WindowPort::updateMenuBar() {
    GMenuModel* model = application_ ? gtk_application_get_menubar(application_) : nullptr;
    // GTK 4.8 takes no null model: without one the bar is only hidden.
    if (model) gtk_popover_menu_bar_set_menu_model(GTK_POPOVER_MENU_BAR(menuBar_), model);
    gtk_widget_set_visible(menuBar_, model != nullptr);
}

int WindowPort::menuBarHeight() const {
    if (!gtk_widget_get_visible(menuBar_)) return 0;
    int minimum = 0;
    int natural = 0;
    gtk_widget_measure(menuBar_, GTK_ORIENTATION_VERTICAL, -1, &minimum, &natural, nullptr, nullptr);
    return natural;
}

void WindowPort::applyContentSize() {
    applyingSize_ = true;
    gtk_window_set_default_size(window_, rounded(contentSize_.width),
                                rounded(contentSize_.height) + menuBarHeight());
    applyingSize_ = false;
}

void WindowPort::scheduleSave() {
    if (autosaveName_.empty() || saveSource_) return;
    // A resize by the user sends a stream of sizes; write once it settles.
    saveSource_ = g_timeout_add(kSaveDelayMs, &WindowPort::saveSoon, this);
}

int WindowPort::saveSoon(void* data) {
    auto* self = static_cast<WindowPort*>(data);
    self->saveSource_ = 0;
    self->saveFrame();
    return G_SOURCE_REMOVE;
}

void WindowPort::saveFrame() {
    if (autosaveName_.empty()) return;
    const std::string group = frameGroup(autosaveName_);
    settings_.setInteger(group, "width", rounded(contentSize_.width));
    settings_.setInteger(group, "height", rounded(contentSize_.height));
}

}  // namespace pelko::gtk
