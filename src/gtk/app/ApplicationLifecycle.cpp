#include "gtk/app/ApplicationLifecycle.h"

#include <gtk/gtk.h>

#include "gtk/app/ApplicationPort.h"
#include "gtk/app/StartupTrace.h"

namespace pelko::gtk {

ApplicationLifecycle::ApplicationLifecycle(GtkApplication* application, ApplicationPort& port,
                                           ApplicationDelegate& delegate)
    : application_(application), port_(port), delegate_(delegate) {
    g_signal_connect(application_, "activate", G_CALLBACK(&ApplicationLifecycle::onActivate), this);
    g_signal_connect(application_, "window-removed", G_CALLBACK(&ApplicationLifecycle::onWindowRemoved), this);
}

ApplicationLifecycle::~ApplicationLifecycle() {
    g_signal_handlers_disconnect_by_data(application_, this);
    if (launched_) g_application_release(G_APPLICATION(application_));
}

bool ApplicationLifecycle::hasVisibleWindows() const {
    for (GList* l = gtk_application_get_windows(application_); l; l = l->next) {
        if (gtk_widget_get_visible(GTK_WIDGET(l->data))) return true;
    }
    return false;
}

void ApplicationLifecycle::onActivate(void* /*application*/, void* data) {
    auto* self = static_cast<ApplicationLifecycle*>(data);
    if (!self->launched_) {
        self->launched_ = true;
        // Runs on with no window shown, as a closed window only hides.
        g_application_hold(G_APPLICATION(self->application_));
        traceStartup("launch-sequence");
        self->delegate_.applicationDidFinishLaunching();
        traceStartup("launch-sequence-done");
        return;
    }
    const bool visible = self->hasVisibleWindows();
    if (visible) self->port_.activateIgnoringOtherApps();
    self->delegate_.applicationShouldHandleReopen(visible);
}

void ApplicationLifecycle::onWindowRemoved(void* /*application*/, void* /*window*/, void* data) {
    auto* self = static_cast<ApplicationLifecycle*>(data);
    if (!self->launched_ || gtk_application_get_windows(self->application_) != nullptr) return;
    if (self->delegate_.applicationShouldTerminateAfterLastWindowClosed()) {
        g_application_quit(G_APPLICATION(self->application_));
    }
}

}  // namespace pelko::gtk
